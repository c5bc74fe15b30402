// The paint manager of a live window: the factory and its two lists, window and fast timers, the image cache and
// the font table, and teardown.
#include <Ovrix/Ovrix.h>

#include <cstring>
#include <thread>

#include <gtest/gtest.h>

#include "support/OvrixTestSupport.h"

namespace {

using Ovrix::CArea;
using Ovrix::CRect;
using Ovrix::MControl;
using Ovrix::PaintManager;
using OvrixTest::ManagedWindow;
using OvrixTest::ProbeControl;
using OvrixTest::PumpUntil;

class PaintManagerTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_NE(m_window.Open(CRect(40, 40, 360, 256)), nullptr); }
    PaintManager& Manager() { return m_window.m_manager; }
    // Filed in the control list like a factory-made control.
    ProbeControl* AddProbe(UINT id, CRect rect) {
        auto* probe = new ProbeControl(&m_window, id, rect);
        probe->SetManager(&Manager());
        Manager().GetControls().push_back(probe);
        return probe;
    }
    ManagedWindow m_window;
};

TEST_F(PaintManagerTest, InitBindsTheWindowAndTheDefaultScrollImages) {
    EXPECT_EQ(Manager().GetPaintWnd(), m_window.GetSafeHwnd());
    EXPECT_EQ(Manager().GetMDialog(), &m_window);
    EXPECT_NE(Manager().GetPaintDC(), nullptr);
    EXPECT_EQ(Manager().GetScrollVID(), 102u);
    EXPECT_EQ(Manager().GetScrollHID(), 101u);
    int width = 0;
    int height = 0;
    Manager().GetClientSize(width, height);
    EXPECT_EQ(width, 320);
    EXPECT_EQ(height, 216);

    PaintManager unbound;
    unbound.Init(nullptr, nullptr);
    unbound.Init(reinterpret_cast<HWND>(0x1234), nullptr);
    EXPECT_EQ(unbound.GetPaintWnd(), nullptr);
    EXPECT_EQ(unbound.GetScrollVID(), 0u);
}

TEST_F(PaintManagerTest, FactoryFilesAreasAndControlsByKind) {
    MControl* area = Manager().CreateArea(&m_window, L"CArea", 5, CRect(0, 0, 10, 10), L"", 1, 1);
    ASSERT_NE(area, nullptr);
    EXPECT_STREQ(area->GetClassNameW(), L"CArea");
    EXPECT_EQ(area->GetManager(), &Manager());
    EXPECT_EQ(area->GetParantObject(), &m_window);
    EXPECT_TRUE(Manager().GetControls().empty()) << "an area is not a control";
    ASSERT_EQ(Manager().GetAreaControls().size(), 1u);

    MControl* first = Manager().CreateControl(&m_window, L"CArea", 6, CRect(0, 0, 5, 5), nullptr, 1, 1);
    MControl* second = Manager().CreateControl(1, &m_window, L"CArea", 7, CRect(0, 0, 5, 5), L"", 0, 1);
    ASSERT_EQ(Manager().GetControls().size(), 2u);
    EXPECT_EQ(Manager().GetControls()[0], first);
    EXPECT_EQ(Manager().GetControls()[1], second) << "appended in creation order";
    EXPECT_FALSE(second->IsVisible()) << "a is the visible flag";

    MControl* loose = Manager().CreateControl(2, &m_window, L"CArea", 8, CRect(), L"", 1, 1);
    ASSERT_NE(loose, nullptr);
    EXPECT_EQ(loose->GetManager(), &Manager());
    EXPECT_EQ(Manager().GetControls().size(), 2u) << "kind 2 is filed nowhere";
    EXPECT_EQ(Manager().GetAreaControls().size(), 1u);
    delete loose;
}

TEST_F(PaintManagerTest, UnknownClassNamesYieldNullAndChangeNoList) {
    for (const wchar_t* name : {L"carea", L"", L"MNoSuchControl", L"MButton2x"}) {
        EXPECT_EQ(Manager().CreateControl(&m_window, name, 1, CRect(), L"", 1, 1), nullptr) << name;
        EXPECT_EQ(Manager().CreateArea(&m_window, name, 1, CRect(), L"", 1, 1), nullptr) << name;
    }
    EXPECT_EQ(Manager().CreateControl(&m_window, nullptr, 1, CRect(), L"", 1, 1), nullptr);
    EXPECT_TRUE(Manager().GetControls().empty());
    EXPECT_TRUE(Manager().GetAreaControls().empty());
}

TEST_F(PaintManagerTest, GetControlSearchesControlsDepthFirstThenAreas) {
    MControl* area = Manager().CreateArea(&m_window, L"CArea", 30, CRect(), L"", 1, 1);
    ProbeControl* first = AddProbe(10, CRect(0, 0, 10, 10));
    ProbeControl* twin = AddProbe(10, CRect(0, 0, 10, 10));
    auto* nested = new ProbeControl(first, 20, CRect());
    first->GetControls().push_back(nested);
    EXPECT_EQ(Manager().GetControl(10), first) << "the first of two with the same id";
    EXPECT_NE(Manager().GetControl(10), twin);
    EXPECT_EQ(Manager().GetControl(20), nested);
    EXPECT_EQ(Manager().GetControl(30), area);
    EXPECT_EQ(Manager().GetControl(99), nullptr);
}

TEST_F(PaintManagerTest, RemovingAndClearingForgetsHoverAndFocus) {
    ProbeControl* kept = AddProbe(1, CRect(0, 0, 50, 50));
    ProbeControl* removed = AddProbe(2, CRect(60, 0, 110, 50));
    bool destroyed = false;
    removed->m_destroyed = &destroyed;
    Manager().SetFocusControl(removed);
    Manager().RemoveControl(removed);
    EXPECT_TRUE(destroyed);
    EXPECT_EQ(Manager().GetFocusControl(), nullptr);
    ASSERT_EQ(Manager().GetControls().size(), 1u);

    ProbeControl stranger(nullptr, 3, CRect());
    Manager().RemoveControl(&stranger); // not in the list: nothing happens

    bool keptDestroyed = false;
    kept->m_destroyed = &keptDestroyed;
    Manager().SetFocusControl(kept);
    Manager().ClearAllControls();
    EXPECT_TRUE(keptDestroyed);
    EXPECT_EQ(Manager().GetFocusControl(), nullptr);
    EXPECT_EQ(Manager().GetHoverControl(), nullptr);
    EXPECT_TRUE(Manager().GetControls().empty());
}

TEST_F(PaintManagerTest, WindowTimersTickTheirOwnControlWithUniqueIds) {
    ProbeControl* a = AddProbe(1, CRect());
    ProbeControl* b = AddProbe(2, CRect());
    ASSERT_TRUE(Manager().SetTimer(a, 1, 10000));
    ASSERT_TRUE(Manager().SetTimer(b, 1, 10000));
    // The first window timer IDs handed out are 17 and 18.
    ::SendMessageW(m_window.GetSafeHwnd(), WM_TIMER, 17, 0);
    EXPECT_EQ(a->m_ticks, 1);
    EXPECT_EQ(b->m_ticks, 0);
    ::SendMessageW(m_window.GetSafeHwnd(), WM_TIMER, 18, 0);
    EXPECT_EQ(b->m_ticks, 1);
    ::SendMessageW(m_window.GetSafeHwnd(), WM_TIMER, 6553, 0);
    EXPECT_EQ(a->m_ticks + b->m_ticks, 2) << "the caret blink never reaches a control";

    EXPECT_FALSE(Manager().SetTimer(a, 1, 5)) << "already running";
    EXPECT_TRUE(Manager().KillTimer(a, 1));
    EXPECT_FALSE(Manager().KillTimer(a, 1));
    ::SendMessageW(m_window.GetSafeHwnd(), WM_TIMER, 17, 0);
    EXPECT_EQ(a->m_ticks, 1) << "a killed timer routes nothing";
    ASSERT_TRUE(Manager().SetTimer(a, 1, 10));
    EXPECT_TRUE(PumpUntil([&] { return a->m_ticks >= 3; })) << "restarted with its old ID and the new period";
    EXPECT_EQ(a->m_tickThread, ::GetCurrentThreadId());
}

TEST_F(PaintManagerTest, TimerIdsStayUniqueAcrossTheCycle) {
    ProbeControl* probe = AddProbe(1, CRect());
    for (UINT id = 0; id < 237; ++id) {
        ASSERT_TRUE(Manager().SetTimer(probe, id, 60000)) << id;
    }
    // Every window timer ID of the cycle but the reserved ones is now held: the next request is refused.
    EXPECT_FALSE(Manager().SetTimer(probe, 999, 60000));
    for (UINT_PTR reserved : {66, 88, 99}) {
        EXPECT_FALSE(::KillTimer(m_window.GetSafeHwnd(), reserved)) << reserved << " never given to a control";
    }
    Manager().KillTimer(probe, 5);
    EXPECT_FALSE(Manager().SetTimer(probe, 999, 60000)) << "a killed record keeps its ID for a restart";
    Manager().KillTimer(probe);
    EXPECT_TRUE(Manager().SetTimer(probe, 999, 60000));
}

TEST_F(PaintManagerTest, ClearTimersStopsEveryWindowTimer) {
    ProbeControl* probe = AddProbe(1, CRect());
    ASSERT_TRUE(Manager().SetTimer(probe, 1, 10));
    ASSERT_TRUE(PumpUntil([&] { return probe->m_ticks >= 1; }));
    Manager().ClearTimers();
    EXPECT_FALSE(::KillTimer(m_window.GetSafeHwnd(), 17)) << "the system timer is gone";
    const int ticks = probe->m_ticks;
    ::SendMessageW(m_window.GetSafeHwnd(), WM_TIMER, 17, 0);
    EXPECT_EQ(probe->m_ticks, ticks);
    EXPECT_FALSE(Manager().KillTimer(probe, 1));
}

TEST_F(PaintManagerTest, FastTimerTicksOnAnotherThreadUntilKilled) {
    ProbeControl* probe = AddProbe(1, CRect());
    probe->AddMTimer();
    Manager().SetMTimer(5);
    ASSERT_TRUE(PumpUntil([&] { return probe->m_ticks >= 3; }));
    EXPECT_NE(probe->m_tickThread, ::GetCurrentThreadId());

    Manager().OnMTimer(0xFFFF);
    const UINT running = [&] {
        for (UINT id = 1; id < 1000; ++id) {
            if (Ovrix::ZorvTimer::GetFSTimer(id) == &Manager()) {
                return id;
            }
        }
        return 0u;
    }();
    ASSERT_NE(running, 0u) << "the timer's ID leads back to its manager";
    EXPECT_FALSE(Manager().IsAppTimer(running));
    EXPECT_EQ(Manager().GetTimerName(running), L"");

    Manager().KillMTimer();
    // Killing waits for a tick in progress, so nothing may arrive afterwards.
    const int ticks = probe->m_ticks;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(probe->m_ticks, ticks);
    EXPECT_EQ(Ovrix::ZorvTimer::GetFSTimer(running), nullptr);

    EXPECT_TRUE(Manager().DeleteFSTimer(probe));
    EXPECT_FALSE(Manager().DeleteFSTimer(probe));
}

TEST_F(PaintManagerTest, DestroyingTheManagerStopsItsFastTimer) {
    UINT id = 0;
    {
        PaintManager manager;
        manager.SetMTimer(5);
        for (UINT candidate = 1; candidate < 1000 && id == 0; ++candidate) {
            if (Ovrix::ZorvTimer::GetFSTimer(candidate) == &manager) {
                id = candidate;
            }
        }
        ASSERT_NE(id, 0u);
    }
    EXPECT_EQ(Ovrix::ZorvTimer::GetFSTimer(id), nullptr);
}

class ImageCacheTest : public PaintManagerTest {
protected:
    void TearDown() override {
        for (const std::wstring& name : m_files) {
            OvrixTest::DeleteSkinImage(name);
        }
    }
    std::wstring Write(const wchar_t* suffix, int width, int height) {
        const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
        std::wstring name = L"cache_" + std::wstring(test->name(), test->name() + std::strlen(test->name())) + suffix;
        m_files.push_back(name);
        return OvrixTest::WriteSkinImage(name, width, height, 0xFF336699);
    }
    std::vector<std::wstring> m_files;
};

TEST_F(ImageCacheTest, SameFileTwiceLoadsOnceWithTheFirstCount) {
    const std::wstring name = Write(L".png", 80, 20);
    Ovrix::ImgResInfo* first = Manager().AddImgResInfo(name.c_str(), 4);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->m_nWidth, 20);
    EXPECT_EQ(first->m_nHeight, 20);
    EXPECT_EQ(first->m_nCount, 4);
    EXPECT_EQ(first->m_path, name);
    OvrixTest::DeleteSkinImage(name);
    Ovrix::ImgResInfo* second = Manager().AddImgResInfo(name.c_str(), 2);
    EXPECT_EQ(second, first) << "served from the cache, not the disk (the file is gone)";
    EXPECT_EQ(second->m_nWidth, 20) << "the count of the first request stays";
}

TEST_F(ImageCacheTest, MissingFileYieldsNullAndIsTriedAgain) {
    const std::wstring name = L"cache_missing_later.png";
    OvrixTest::DeleteSkinImage(name); // left behind by an interrupted run
    m_files.push_back(name);
    EXPECT_EQ(Manager().AddImgResInfo(name.c_str(), 1), nullptr);
    EXPECT_EQ(Manager().AddImgResInfo(name.c_str(), 1), nullptr);
    OvrixTest::WriteSkinImage(name, 10, 6, 0xFF000000);
    Ovrix::ImgResInfo* loaded = Manager().AddImgResInfo(name.c_str(), 1);
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(loaded->m_nWidth, 10);
    EXPECT_EQ(Manager().AddImgResInfo(static_cast<const wchar_t*>(nullptr), 1), nullptr);
    EXPECT_EQ(Manager().AddImgResInfo(L"cache_zero_count.png", 0), nullptr) << "a count of 0 is refused";
}

TEST_F(ImageCacheTest, ResourceImagesAreKeyedPerModule) {
    Ovrix::ImgResInfo* library = Manager().AddImgResInfo(102, L"PNG", 2, FALSE);
    ASSERT_NE(library, nullptr);
    EXPECT_EQ(library->m_nWidth, 6);
    EXPECT_EQ(library->m_nHeight, 72);
    EXPECT_EQ(library->m_uResID, 102u);
    EXPECT_EQ(Manager().AddImgResInfo(102, L"PNG", 1, FALSE), library);
    EXPECT_EQ(Manager().AddImgResInfo(102, L"PNG", 1, TRUE), nullptr) << "the test program holds no such resource";
    EXPECT_EQ(Manager().AddImgResInfo(999, L"PNG", 1, FALSE), nullptr);
}

TEST_F(ImageCacheTest, TeardownFreesEverythingAndRunsOnce) {
    const std::wstring name = Write(L".png", 40, 10);
    ProbeControl* probe = AddProbe(1, CRect());
    bool destroyed = false;
    probe->m_destroyed = &destroyed;
    ASSERT_TRUE(Manager().SetTimer(probe, 1, 60000));
    ASSERT_NE(Manager().AddImgResInfo(name.c_str(), 4), nullptr);

    Manager().DestroyData();
    EXPECT_TRUE(destroyed);
    EXPECT_TRUE(Manager().GetControls().empty());
    EXPECT_EQ(Manager().GetPaintDC(), nullptr);
    EXPECT_FALSE(::KillTimer(m_window.GetSafeHwnd(), 17));
    Manager().DestroyData(); // a second teardown finds nothing to do

    // A fresh record, not the freed one: the new count decides the cell width.
    Ovrix::ImgResInfo* again = Manager().AddImgResInfo(name.c_str(), 2);
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->m_nWidth, 20);
}

TEST_F(PaintManagerTest, FontTableHoldsTheGlobalFaceAndPrivateFonts) {
    const std::wstring previous = Ovrix::Manager::GetFontName();
    Ovrix::Manager::SetFontName(L"DejaVu Sans");
    Gdiplus::FontFamily* global = Manager().FindTempFont(L"ignored");
    ASSERT_NE(global, nullptr);
    EXPECT_EQ(Manager().FindTempFont(L"anything"), global) << "created once, then cached";
    wchar_t face[LF_FACESIZE] = {};
    global->GetFamilyName(face);
    EXPECT_STREQ(face, L"DejaVu Sans");

    Gdiplus::FontFamily* embedded = Manager().AddTempFont(L"embedded", 106);
    ASSERT_NE(embedded, nullptr);
    embedded->GetFamilyName(face);
    EXPECT_STREQ(face, L"DejaVu Sans");
    EXPECT_EQ(Manager().AddTempFont(L"missing", 999), nullptr);
    EXPECT_EQ(Manager().AddTempFont(L"missing", L"C:\\no\\such\\font.ttf"), nullptr);
    Manager().ClearTempFont();
    Manager().ClearTempFont();
    Ovrix::Manager::SetFontName(previous);
}

} // namespace
