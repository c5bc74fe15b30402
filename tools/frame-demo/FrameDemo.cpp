// Runs the refresh worker on its own, without the tray program's window: one rescan, then the live sensor readings
// to every display once a second, for a given number of seconds (0: until killed). Runs with whichever hidapi.dll
// sits beside it.
#include <cstdio>
#include <cstdlib>

#include "device/CThreadBasic.h"
#include "device/DisplayManager.h"
#include "device/RefreshWorker.h"

namespace {

class FrameDemo : public CThreadBasic {
public:
    void Run() override { m_worker.RunPass(); }
    RefreshWorker& Worker() { return m_worker; }

private:
    RefreshWorker m_worker;
};

} // namespace

int main(int argc, char** argv) {
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 0;
    FrameDemo demo;
    demo.Worker().PostCommand(CMD_RESCAN);
    demo.StartWorker();
    Sleep(1000);
    std::printf("frame-demo: %zu display(s) open\n", DisplayManager::Instance().DisplayCount());
    std::fflush(stdout);
    Sleep(seconds > 0 ? static_cast<DWORD>(seconds - 1) * 1000 : INFINITE);
    demo.Worker().Interrupt();
    demo.StopThread();
    demo.WaitForThreadEnd();
    return 0;
}
