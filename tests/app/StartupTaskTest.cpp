// The autostart task registration run against an in-test Task Scheduler that records every call and can fail at
// any step (registered as the scheduler's class for this apartment, so the production code is unchanged), and
// against Wine's own scheduler.
#include "app/StartupTask.h"

#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "app/LogonTrigger.h"
#include "sensors/SensorServerLauncher.h"
#include "support/CapturedStderr.h"

namespace {

// What the fake scheduler saw, and where it should fail.
struct SchedulerLog {
    std::vector<std::string> calls;
    std::string failAt;
    HRESULT failWith = E_UNEXPECTED;
    int liveObjects = 0;
};
SchedulerLog g_log;

std::string Narrow(const wchar_t* text) {
    std::string narrow;
    for (const wchar_t* c = text; c != nullptr && *c != 0; ++c)
        narrow.push_back(*c < 128 ? static_cast<char>(*c) : '?');
    return narrow;
}

std::string Describe(const VARIANT& value) {
    if (value.vt == VT_EMPTY)
        return "empty";
    if (value.vt == VT_BSTR)
        return "'" + Narrow(value.bstrVal) + "'";
    return "vt" + std::to_string(value.vt);
}

HRESULT Step(const std::string& name, const std::string& detail = {}) {
    g_log.calls.push_back(detail.empty() ? name : name + "(" + detail + ")");
    return g_log.failAt == name ? g_log.failWith : S_OK;
}

HRESULT Unexpected(const char* name) {
    g_log.calls.push_back(std::string("unexpected ") + name);
    return E_NOTIMPL;
}

#define UNUSED_METHOD(method, ...)                                                                                     \
    HRESULT STDMETHODCALLTYPE method(__VA_ARGS__) override {                                                           \
        return Unexpected(#method);                                                                                    \
    }

// IUnknown and IDispatch for one fake object; `extra` is an interface it answers to besides its own.
template <class Interface> class Fake : public Interface {
public:
    Fake(const char* name, const IID& own, const IID& extra = IID_IUnknown) : m_name(name), m_own(own), m_extra(extra) {
        ++g_log.liveObjects;
    }
    virtual ~Fake() { --g_log.liveObjects; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (out == nullptr)
            return E_POINTER;
        *out = nullptr;
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == m_own) {
            *out = static_cast<Interface*>(this);
        } else if (iid == m_extra) {
            const HRESULT result = Step(m_name + ".QueryInterface");
            if (FAILED(result))
                return result;
            *out = static_cast<Interface*>(this);
        } else {
            return E_NOINTERFACE;
        }
        this->AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_references; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --m_references;
        if (left == 0)
            delete this;
        return left;
    }
    UNUSED_METHOD(GetTypeInfoCount, UINT*)
    UNUSED_METHOD(GetTypeInfo, UINT, LCID, ITypeInfo**)
    UNUSED_METHOD(GetIDsOfNames, REFIID, LPOLESTR*, UINT, LCID, DISPID*)
    UNUSED_METHOD(Invoke, DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*)

protected:
    // Hands out a new object unless this step is to fail.
    template <class Object, class Out> HRESULT Give(const std::string& step, const std::string& detail, Out** out) {
        const HRESULT result = Step(m_name + "." + step, detail);
        if (FAILED(result))
            return result;
        *out = new Object();
        return S_OK;
    }
    HRESULT Put(const std::string& step, const std::string& detail) { return Step(m_name + "." + step, detail); }

private:
    std::string m_name;
    IID m_own;
    IID m_extra;
    ULONG m_references = 1;
};

class FakeExecAction : public Fake<IExecAction> {
public:
    FakeExecAction() : Fake("Action", IID_IAction, IID_IExecAction) {}
    UNUSED_METHOD(get_Id, BSTR*)
    UNUSED_METHOD(put_Id, BSTR)
    UNUSED_METHOD(get_Type, TASK_ACTION_TYPE*)
    UNUSED_METHOD(get_Path, BSTR*)
    HRESULT STDMETHODCALLTYPE put_Path(BSTR path) override { return Put("put_Path", Narrow(path)); }
    UNUSED_METHOD(get_Arguments, BSTR*)
    UNUSED_METHOD(put_Arguments, BSTR)
    UNUSED_METHOD(get_WorkingDirectory, BSTR*)
    UNUSED_METHOD(put_WorkingDirectory, BSTR)
};

class FakeActions : public Fake<IActionCollection> {
public:
    FakeActions() : Fake("Actions", IID_IActionCollection) {}
    UNUSED_METHOD(get_Count, LONG*)
    UNUSED_METHOD(get_Item, LONG, IAction**)
    UNUSED_METHOD(get__NewEnum, IUnknown**)
    UNUSED_METHOD(get_XmlText, BSTR*)
    UNUSED_METHOD(put_XmlText, BSTR)
    HRESULT STDMETHODCALLTYPE Create(TASK_ACTION_TYPE type, IAction** action) override {
        return Give<FakeExecAction>("Create", std::to_string(type), action);
    }
    UNUSED_METHOD(Remove, VARIANT)
    UNUSED_METHOD(Clear)
    UNUSED_METHOD(get_Context, BSTR*)
    UNUSED_METHOD(put_Context, BSTR)
};

class FakeLogonTrigger : public Fake<ILogonTrigger> {
public:
    FakeLogonTrigger() : Fake("Trigger", IID_ITrigger, __uuidof(ILogonTrigger)) {}
    UNUSED_METHOD(get_Type, TASK_TRIGGER_TYPE2*)
    UNUSED_METHOD(get_Id, BSTR*)
    HRESULT STDMETHODCALLTYPE put_Id(BSTR id) override { return Put("put_Id", Narrow(id)); }
    UNUSED_METHOD(get_Repetition, IRepetitionPattern**)
    UNUSED_METHOD(put_Repetition, IRepetitionPattern*)
    UNUSED_METHOD(get_ExecutionTimeLimit, BSTR*)
    UNUSED_METHOD(put_ExecutionTimeLimit, BSTR)
    UNUSED_METHOD(get_StartBoundary, BSTR*)
    UNUSED_METHOD(put_StartBoundary, BSTR)
    UNUSED_METHOD(get_EndBoundary, BSTR*)
    UNUSED_METHOD(put_EndBoundary, BSTR)
    UNUSED_METHOD(get_Enabled, VARIANT_BOOL*)
    UNUSED_METHOD(put_Enabled, VARIANT_BOOL)
    UNUSED_METHOD(get_Delay, BSTR*)
    UNUSED_METHOD(put_Delay, BSTR)
    UNUSED_METHOD(get_UserId, BSTR*)
    UNUSED_METHOD(put_UserId, BSTR)
};

class FakeTriggers : public Fake<ITriggerCollection> {
public:
    FakeTriggers() : Fake("Triggers", IID_ITriggerCollection) {}
    UNUSED_METHOD(get_Count, LONG*)
    UNUSED_METHOD(get_Item, LONG, ITrigger**)
    UNUSED_METHOD(get__NewEnum, IUnknown**)
    HRESULT STDMETHODCALLTYPE Create(TASK_TRIGGER_TYPE2 type, ITrigger** trigger) override {
        return Give<FakeLogonTrigger>("Create", std::to_string(type), trigger);
    }
    UNUSED_METHOD(Remove, VARIANT)
    UNUSED_METHOD(Clear)
};

class FakePrincipal : public Fake<IPrincipal> {
public:
    FakePrincipal() : Fake("Principal", IID_IPrincipal) {}
    UNUSED_METHOD(get_Id, BSTR*)
    UNUSED_METHOD(put_Id, BSTR)
    UNUSED_METHOD(get_DisplayName, BSTR*)
    UNUSED_METHOD(put_DisplayName, BSTR)
    UNUSED_METHOD(get_UserId, BSTR*)
    UNUSED_METHOD(put_UserId, BSTR)
    UNUSED_METHOD(get_LogonType, TASK_LOGON_TYPE*)
    UNUSED_METHOD(put_LogonType, TASK_LOGON_TYPE)
    UNUSED_METHOD(get_GroupId, BSTR*)
    UNUSED_METHOD(put_GroupId, BSTR)
    UNUSED_METHOD(get_RunLevel, TASK_RUNLEVEL_TYPE*)
    HRESULT STDMETHODCALLTYPE put_RunLevel(TASK_RUNLEVEL_TYPE level) override {
        return Put("put_RunLevel", std::to_string(level));
    }
};

class FakeSettings : public Fake<ITaskSettings> {
public:
    FakeSettings() : Fake("Settings", IID_ITaskSettings) {}
    UNUSED_METHOD(get_AllowDemandStart, VARIANT_BOOL*)
    HRESULT STDMETHODCALLTYPE put_AllowDemandStart(VARIANT_BOOL allow) override {
        return Put("put_AllowDemandStart", std::to_string(allow));
    }
    UNUSED_METHOD(get_RestartInterval, BSTR*)
    UNUSED_METHOD(put_RestartInterval, BSTR)
    UNUSED_METHOD(get_RestartCount, INT*)
    UNUSED_METHOD(put_RestartCount, INT)
    UNUSED_METHOD(get_MultipleInstances, TASK_INSTANCES_POLICY*)
    HRESULT STDMETHODCALLTYPE put_MultipleInstances(TASK_INSTANCES_POLICY policy) override {
        return Put("put_MultipleInstances", std::to_string(policy));
    }
    UNUSED_METHOD(get_StopIfGoingOnBatteries, VARIANT_BOOL*)
    HRESULT STDMETHODCALLTYPE put_StopIfGoingOnBatteries(VARIANT_BOOL stop) override {
        return Put("put_StopIfGoingOnBatteries", std::to_string(stop));
    }
    UNUSED_METHOD(get_DisallowStartIfOnBatteries, VARIANT_BOOL*)
    HRESULT STDMETHODCALLTYPE put_DisallowStartIfOnBatteries(VARIANT_BOOL disallow) override {
        return Put("put_DisallowStartIfOnBatteries", std::to_string(disallow));
    }
    UNUSED_METHOD(get_AllowHardTerminate, VARIANT_BOOL*)
    UNUSED_METHOD(put_AllowHardTerminate, VARIANT_BOOL)
    UNUSED_METHOD(get_StartWhenAvailable, VARIANT_BOOL*)
    HRESULT STDMETHODCALLTYPE put_StartWhenAvailable(VARIANT_BOOL start) override {
        return Put("put_StartWhenAvailable", std::to_string(start));
    }
    UNUSED_METHOD(get_XmlText, BSTR*)
    UNUSED_METHOD(put_XmlText, BSTR)
    UNUSED_METHOD(get_RunOnlyIfNetworkAvailable, VARIANT_BOOL*)
    UNUSED_METHOD(put_RunOnlyIfNetworkAvailable, VARIANT_BOOL)
    UNUSED_METHOD(get_ExecutionTimeLimit, BSTR*)
    HRESULT STDMETHODCALLTYPE put_ExecutionTimeLimit(BSTR limit) override {
        return Put("put_ExecutionTimeLimit", Narrow(limit));
    }
    UNUSED_METHOD(get_Enabled, VARIANT_BOOL*)
    UNUSED_METHOD(put_Enabled, VARIANT_BOOL)
    UNUSED_METHOD(get_DeleteExpiredTaskAfter, BSTR*)
    UNUSED_METHOD(put_DeleteExpiredTaskAfter, BSTR)
    UNUSED_METHOD(get_Priority, INT*)
    UNUSED_METHOD(put_Priority, INT)
    UNUSED_METHOD(get_Compatibility, TASK_COMPATIBILITY*)
    UNUSED_METHOD(put_Compatibility, TASK_COMPATIBILITY)
    UNUSED_METHOD(get_Hidden, VARIANT_BOOL*)
    UNUSED_METHOD(put_Hidden, VARIANT_BOOL)
    UNUSED_METHOD(get_IdleSettings, IIdleSettings**)
    UNUSED_METHOD(put_IdleSettings, IIdleSettings*)
    UNUSED_METHOD(get_RunOnlyIfIdle, VARIANT_BOOL*)
    UNUSED_METHOD(put_RunOnlyIfIdle, VARIANT_BOOL)
    UNUSED_METHOD(get_WakeToRun, VARIANT_BOOL*)
    UNUSED_METHOD(put_WakeToRun, VARIANT_BOOL)
    UNUSED_METHOD(get_NetworkSettings, INetworkSettings**)
    UNUSED_METHOD(put_NetworkSettings, INetworkSettings*)
};

class FakeDefinition : public Fake<ITaskDefinition> {
public:
    FakeDefinition() : Fake("Definition", IID_ITaskDefinition) {}
    UNUSED_METHOD(get_RegistrationInfo, IRegistrationInfo**)
    UNUSED_METHOD(put_RegistrationInfo, IRegistrationInfo*)
    HRESULT STDMETHODCALLTYPE get_Triggers(ITriggerCollection** triggers) override {
        return Give<FakeTriggers>("get_Triggers", {}, triggers);
    }
    UNUSED_METHOD(put_Triggers, ITriggerCollection*)
    HRESULT STDMETHODCALLTYPE get_Settings(ITaskSettings** settings) override {
        return Give<FakeSettings>("get_Settings", {}, settings);
    }
    UNUSED_METHOD(put_Settings, ITaskSettings*)
    UNUSED_METHOD(get_Data, BSTR*)
    UNUSED_METHOD(put_Data, BSTR)
    HRESULT STDMETHODCALLTYPE get_Principal(IPrincipal** principal) override {
        return Give<FakePrincipal>("get_Principal", {}, principal);
    }
    UNUSED_METHOD(put_Principal, IPrincipal*)
    HRESULT STDMETHODCALLTYPE get_Actions(IActionCollection** actions) override {
        return Give<FakeActions>("get_Actions", {}, actions);
    }
    UNUSED_METHOD(put_Actions, IActionCollection*)
    UNUSED_METHOD(get_XmlText, BSTR*)
    UNUSED_METHOD(put_XmlText, BSTR)
};

class FakeFolder : public Fake<ITaskFolder> {
public:
    FakeFolder() : Fake("Folder", IID_ITaskFolder) {}
    UNUSED_METHOD(get_Name, BSTR*)
    UNUSED_METHOD(get_Path, BSTR*)
    UNUSED_METHOD(GetFolder, BSTR, ITaskFolder**)
    UNUSED_METHOD(GetFolders, LONG, ITaskFolderCollection**)
    UNUSED_METHOD(CreateFolder, BSTR, VARIANT, ITaskFolder**)
    UNUSED_METHOD(DeleteFolder, BSTR, LONG)
    UNUSED_METHOD(GetTask, BSTR, IRegisteredTask**)
    UNUSED_METHOD(GetTasks, LONG, IRegisteredTaskCollection**)
    UNUSED_METHOD(DeleteTask, BSTR, LONG)
    UNUSED_METHOD(RegisterTask, BSTR, BSTR, LONG, VARIANT, VARIANT, TASK_LOGON_TYPE, VARIANT, IRegisteredTask**)
    HRESULT STDMETHODCALLTYPE RegisterTaskDefinition(BSTR path, ITaskDefinition* definition, LONG flags, VARIANT user,
                                                     VARIANT password, TASK_LOGON_TYPE logon, VARIANT sddl,
                                                     IRegisteredTask** task) override {
        return Put("RegisterTaskDefinition", Narrow(path) + ", " + (definition ? "definition" : "null") + ", " +
                                                 std::to_string(flags) + ", " + Describe(user) + ", " +
                                                 Describe(password) + ", " + std::to_string(logon) + ", " +
                                                 Describe(sddl) + ", " + (task ? "task wanted" : "no task"));
    }
    UNUSED_METHOD(GetSecurityDescriptor, LONG, BSTR*)
    UNUSED_METHOD(SetSecurityDescriptor, BSTR, LONG)
};

class FakeService : public Fake<ITaskService> {
public:
    FakeService() : Fake("Service", IID_ITaskService) {}
    HRESULT STDMETHODCALLTYPE GetFolder(BSTR path, ITaskFolder** folder) override {
        return Give<FakeFolder>("GetFolder", Narrow(path), folder);
    }
    UNUSED_METHOD(GetRunningTasks, LONG, IRunningTaskCollection**)
    HRESULT STDMETHODCALLTYPE NewTask(DWORD flags, ITaskDefinition** definition) override {
        return Give<FakeDefinition>("NewTask", std::to_string(flags), definition);
    }
    HRESULT STDMETHODCALLTYPE Connect(VARIANT server, VARIANT user, VARIANT domain, VARIANT password) override {
        return Put("Connect",
                   Describe(server) + ", " + Describe(user) + ", " + Describe(domain) + ", " + Describe(password));
    }
    UNUSED_METHOD(get_Connected, VARIANT_BOOL*)
    UNUSED_METHOD(get_TargetServer, BSTR*)
    UNUSED_METHOD(get_ConnectedUser, BSTR*)
    UNUSED_METHOD(get_ConnectedDomain, BSTR*)
    UNUSED_METHOD(get_HighestVersion, DWORD*)
};

class FakeSchedulerFactory : public IClassFactory {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (iid != IID_IUnknown && iid != IID_IClassFactory) {
            *out = nullptr;
            return E_NOINTERFACE;
        }
        *out = this;
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
        *out = nullptr;
        if (outer != nullptr)
            return CLASS_E_NOAGGREGATION;
        const HRESULT result = Step("Factory.CreateInstance");
        if (FAILED(result))
            return result;
        auto* service = new FakeService();
        const HRESULT queried = service->QueryInterface(iid, out);
        service->Release();
        return queried;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
};

struct Outcome {
    int result = -1;
    std::string messages;
    bool apartmentBalanced = false;
};

// Runs the registration on a fresh thread whose apartment is set up as `apartment` (the UI thread's is
// single-threaded), with the fake scheduler registered when `fake` is set.
Outcome RunRegistration(bool fake, DWORD apartment = COINIT_APARTMENTTHREADED) {
    Outcome outcome;
    CapturedStderr captured;
    std::thread thread([&] {
        CoInitializeEx(nullptr, apartment);
        FakeSchedulerFactory factory;
        DWORD cookie = 0;
        if (fake)
            CoRegisterClassObject(CLSID_TaskScheduler, &factory, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookie);
        outcome.result = RegisterStartupTask();
        if (fake)
            CoRevokeClassObject(cookie);
        CoUninitialize();
        // Balanced when our own initialisation was the last one: the thread may now pick another apartment.
        const HRESULT again = CoInitializeEx(nullptr, apartment == COINIT_MULTITHREADED ? COINIT_APARTMENTTHREADED
                                                                                        : COINIT_MULTITHREADED);
        outcome.apartmentBalanced = again == S_OK;
        if (SUCCEEDED(again))
            CoUninitialize();
    });
    thread.join();
    outcome.messages = captured.Text();
    return outcome;
}

std::vector<std::string> FullSequence() {
    const std::string path = Narrow((ModuleDirectory() + L"Dravik.exe").c_str());
    return {
        "Factory.CreateInstance",
        "Service.Connect(empty, empty, empty, empty)",
        "Service.GetFolder(\\)",
        "Service.NewTask(0)",
        "Definition.get_Triggers",
        "Triggers.Create(9)",
        "Trigger.QueryInterface",
        "Trigger.put_Id(Administrator)",
        "Definition.get_Principal",
        "Principal.put_RunLevel(1)",
        "Definition.get_Settings",
        "Settings.put_StopIfGoingOnBatteries(0)",
        "Settings.put_DisallowStartIfOnBatteries(0)",
        "Settings.put_AllowDemandStart(-1)",
        "Settings.put_StartWhenAvailable(0)",
        "Settings.put_MultipleInstances(0)",
        "Settings.put_ExecutionTimeLimit(PT0S)",
        "Definition.get_Actions",
        "Actions.Create(0)",
        "Action.QueryInterface",
        "Action.put_Path(" + path + ")",
        "Folder.RegisterTaskDefinition(Velbar-Digital StartupTask, definition, 6, empty, empty, 3, '', no task)",
    };
}

class StartupTaskTest : public testing::Test {
protected:
    void SetUp() override { g_log = SchedulerLog{}; }
};

TEST_F(StartupTaskTest, FullSequenceSetsEveryPropertyInOrderAndReleasesEverything) {
    const Outcome outcome = RunRegistration(true);
    EXPECT_EQ(outcome.result, 0);
    EXPECT_EQ(outcome.messages, "");
    EXPECT_EQ(g_log.calls, FullSequence());
    EXPECT_EQ(g_log.liveObjects, 0);
    EXPECT_TRUE(outcome.apartmentBalanced);
}

struct FailureCase {
    const char* name;
    const char* failAt;
    const char* message; // empty: none
    int result;
    friend void PrintTo(const FailureCase& c, std::ostream* os) { *os << c.name; }
};

class StartupTaskFailure : public StartupTaskTest, public testing::WithParamInterface<FailureCase> {};

TEST_P(StartupTaskFailure, WritesItsMessageStopsAndReleasesWhatItGot) {
    const FailureCase& c = GetParam();
    g_log.failAt = c.failAt;
    g_log.failWith = E_UNEXPECTED;
    const Outcome outcome = RunRegistration(true);
    EXPECT_EQ(outcome.result, c.result);
    const std::string expectedMessage = *c.message ? std::string(c.message) + "8000ffff\n" : std::string();
    EXPECT_EQ(outcome.messages, expectedMessage);
    EXPECT_EQ(g_log.liveObjects, 0);
    EXPECT_TRUE(outcome.apartmentBalanced);
    if (c.result == 1) {
        ASSERT_FALSE(g_log.calls.empty());
        EXPECT_EQ(g_log.calls.back().rfind(c.failAt, 0), 0u) << "nothing is called after the failing step";
    }
    for (const std::string& call : g_log.calls)
        EXPECT_NE(call.rfind("unexpected", 0), 0u) << call;
}

INSTANTIATE_TEST_SUITE_P(
    Steps, StartupTaskFailure,
    testing::Values(
        FailureCase{"CreateInstance", "Factory.CreateInstance",
                    "Failed to create Task Scheduler instance with HRESULT: 0x", 1},
        FailureCase{"Connect", "Service.Connect", "Failed to connect to Task Scheduler service with HRESULT: 0x", 1},
        FailureCase{"RootFolder", "Service.GetFolder", "Failed to get root folder with HRESULT: 0x", 1},
        FailureCase{"NewTask", "Service.NewTask", "Failed to create new task with HRESULT: 0x", 1},
        FailureCase{"Triggers", "Definition.get_Triggers", "Failed to get trigger collection with HRESULT: 0x", 1},
        FailureCase{"TriggerCreate", "Triggers.Create", "Failed to create trigger with HRESULT: 0x", 1},
        FailureCase{"LogonTriggerInterface", "Trigger.QueryInterface", "Failed to create trigger with HRESULT: 0x", 1},
        FailureCase{"TriggerId", "Trigger.put_Id", "Failed to set trigger ID with HRESULT: 0x", 1},
        FailureCase{"Principal", "Definition.get_Principal", "Failed to get principal with HRESULT: 0x", 1},
        FailureCase{"RunLevel", "Principal.put_RunLevel", "Failed to set run level with HRESULT: 0x", 1},
        FailureCase{"SettingsAreBestEffort", "Definition.get_Settings", "", 0},
        FailureCase{"SettingValueIsBestEffort", "Settings.put_AllowDemandStart", "", 0},
        FailureCase{"Actions", "Definition.get_Actions", "Failed to get action collection with HRESULT: 0x", 1},
        FailureCase{"ActionCreate", "Actions.Create", "Failed to create action with HRESULT: 0x", 1},
        FailureCase{"ExecActionInterface", "Action.QueryInterface",
                    "Failed to query exec action interface with HRESULT: 0x", 1},
        FailureCase{"Path", "Action.put_Path", "Failed to set executable path with HRESULT: 0x", 1},
        FailureCase{"RegisterStillEndsWithZero", "Folder.RegisterTaskDefinition",
                    "Failed to register task definition with HRESULT: 0x", 0}),
    [](const testing::TestParamInfo<FailureCase>& info) { return info.param.name; });

TEST_F(StartupTaskTest, FailedSettingsLeaveTheOtherStepsInPlace) {
    g_log.failAt = "Definition.get_Settings";
    RunRegistration(true);
    for (const std::string& call : g_log.calls)
        EXPECT_NE(call.rfind("Settings.", 0), 0u) << call;
    EXPECT_EQ(g_log.calls.back().rfind("Folder.RegisterTaskDefinition", 0), 0u);
}

TEST_F(StartupTaskTest, ThreadInAnotherApartmentFailsAtCoInitialize) {
    const Outcome outcome = RunRegistration(true, COINIT_MULTITHREADED);
    EXPECT_EQ(outcome.result, 1);
    EXPECT_EQ(outcome.messages, "CoInitialize failed with HRESULT: 0x80010106\n");
    EXPECT_TRUE(g_log.calls.empty());
    EXPECT_TRUE(outcome.apartmentBalanced);
}

// Wine 8's scheduler connects and hands out a definition, but creating a logon trigger is not implemented.
TEST_F(StartupTaskTest, WineSchedulerStopsAtTheLogonTrigger) {
    const Outcome outcome = RunRegistration(false);
    EXPECT_EQ(outcome.result, 1);
    EXPECT_EQ(outcome.messages, "Failed to create trigger with HRESULT: 0x80004001\n");
    EXPECT_TRUE(outcome.apartmentBalanced);
}

} // namespace
