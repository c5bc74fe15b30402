// Ending a stale sensor server. UI thread. Windows only.
#pragma once

// Terminates the first process in snapshot order whose image name is the sensor server's in any letter case, with
// exit code 0. False only when no process snapshot could be taken.
bool TerminateSensorServer();
