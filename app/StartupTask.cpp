#include "StartupTask.h"

#include <cstdio>
#include <string>

#include <windows.h>

#include <oleauto.h>

#include "LogonTrigger.h"
#include "common/ComRef.h"
#include "sensors/SensorServerLauncher.h"

namespace {

// Every exit after a successful CoInitialize undoes it once, after the objects are released.
struct ComApartment {
    ~ComApartment() { CoUninitialize(); }
};

// Writes the message and the code, then tells the caller to give up.
bool Failed(HRESULT result, const char* message) {
    if (SUCCEEDED(result))
        return false;
    std::fprintf(stderr, "%s%lx\n", message, static_cast<unsigned long>(result));
    std::fflush(stderr);
    return true;
}

// A call that claims success must also have handed out the object it was asked for. Takes the holder, not its
// pointer, so the pointer is read after the call has filled it.
template <class T> HRESULT Checked(HRESULT result, const ComRef<T>& object) {
    return SUCCEEDED(result) && !object ? E_POINTER : result;
}

} // namespace

int RegisterStartupTask() {
    if (Failed(CoInitialize(nullptr), "CoInitialize failed with HRESULT: 0x"))
        return 1;
    ComApartment apartment;

    ComRef<ITaskService> service;
    if (Failed(Checked(CoCreateInstance(CLSID_TaskScheduler, nullptr, CLSCTX_INPROC_SERVER, IID_ITaskService,
                                        service.PutVoid()),
                       service),
               "Failed to create Task Scheduler instance with HRESULT: 0x"))
        return 1;
    {
        Variant server, user, domain, password;
        if (Failed(service->Connect(server, user, domain, password),
                   "Failed to connect to Task Scheduler service with HRESULT: 0x"))
            return 1;
    }

    ComRef<ITaskFolder> rootFolder;
    if (Failed(Checked(service->GetFolder(Bstr(L"\\"), rootFolder.Put()), rootFolder),
               "Failed to get root folder with HRESULT: 0x"))
        return 1;

    ComRef<ITaskDefinition> task;
    if (Failed(Checked(service->NewTask(0, task.Put()), task), "Failed to create new task with HRESULT: 0x"))
        return 1;

    ComRef<ITriggerCollection> triggers;
    if (Failed(Checked(task->get_Triggers(triggers.Put()), triggers),
               "Failed to get trigger collection with HRESULT: 0x"))
        return 1;

    ComRef<ITrigger> trigger;
    ComRef<ILogonTrigger> logonTrigger;
    HRESULT result = Checked(triggers->Create(TASK_TRIGGER_LOGON, trigger.Put()), trigger);
    if (SUCCEEDED(result))
        result = Checked(trigger->QueryInterface(__uuidof(ILogonTrigger), logonTrigger.PutVoid()), logonTrigger);
    if (Failed(result, "Failed to create trigger with HRESULT: 0x"))
        return 1;
    if (Failed(logonTrigger->put_Id(Bstr(kStartupTriggerId)), "Failed to set trigger ID with HRESULT: 0x"))
        return 1;

    ComRef<IPrincipal> principal;
    if (Failed(Checked(task->get_Principal(principal.Put()), principal), "Failed to get principal with HRESULT: 0x"))
        return 1;
    if (Failed(principal->put_RunLevel(TASK_RUNLEVEL_HIGHEST), "Failed to set run level with HRESULT: 0x"))
        return 1;

    // Best effort: the task still works with the service's default settings.
    ComRef<ITaskSettings> settings;
    if (SUCCEEDED(task->get_Settings(settings.Put())) && settings) {
        settings->put_StopIfGoingOnBatteries(VARIANT_FALSE);
        settings->put_DisallowStartIfOnBatteries(VARIANT_FALSE);
        settings->put_AllowDemandStart(VARIANT_TRUE);
        settings->put_StartWhenAvailable(VARIANT_FALSE);
        settings->put_MultipleInstances(TASK_INSTANCES_PARALLEL);
        settings->put_ExecutionTimeLimit(Bstr(L"PT0S"));
    }

    ComRef<IActionCollection> actions;
    if (Failed(Checked(task->get_Actions(actions.Put()), actions), "Failed to get action collection with HRESULT: 0x"))
        return 1;
    ComRef<IAction> action;
    if (Failed(Checked(actions->Create(TASK_ACTION_EXEC, action.Put()), action),
               "Failed to create action with HRESULT: 0x"))
        return 1;
    ComRef<IExecAction> execAction;
    if (Failed(Checked(action->QueryInterface(IID_IExecAction, execAction.PutVoid()), execAction),
               "Failed to query exec action interface with HRESULT: 0x"))
        return 1;
    const std::wstring programPath = ModuleDirectory() + kProgramFileName;
    if (Failed(execAction->put_Path(Bstr(programPath.c_str())), "Failed to set executable path with HRESULT: 0x"))
        return 1;

    Variant noUser, noPassword, emptySecurityDescriptor(L"");
    Failed(rootFolder->RegisterTaskDefinition(Bstr(kStartupTaskName), task.Get(), TASK_CREATE_OR_UPDATE, noUser,
                                              noPassword, TASK_LOGON_INTERACTIVE_TOKEN, emptySecurityDescriptor,
                                              nullptr),
           "Failed to register task definition with HRESULT: 0x");
    return 0;
}
