// The driver's view of a program, tried on a window made here on a thread of its own, with
// the controls the driver reads and works: a list view (texts and selection through memory
// allocated in the target process), a list box (item texts), an edit, and a message box.
#include "testing/driver/Failure.h"
#include "testing/driver/RemoteListView.h"
#include "testing/driver/TargetProgram.h"
#include <gtest/gtest.h>
#include <commctrl.h>

namespace {
constexpr int kListViewId = 1013;
constexpr int kListBoxId = 1007;
constexpr int kEditId = 1010;
constexpr UINT kShowMessageBox = WM_APP + 1;

HWND g_window = nullptr;
HANDLE g_ready = nullptr;
volatile LONG g_selectedByNotice = -1;

LRESULT CALLBACK WindowProc(HWND h, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_NOTIFY) {
        auto* change = reinterpret_cast<NMLISTVIEW*>(lp);
        if (change->hdr.code == LVN_ITEMCHANGED && (change->uNewState & LVIS_SELECTED))
            ::InterlockedExchange(&g_selectedByNotice, change->iItem);
        return 0;
    }
    if (msg == kShowMessageBox) {
        ::MessageBoxA(h, "表格不存在", "提示:", MB_OK | MB_ICONINFORMATION);
        return 0;
    }
    if (msg == WM_DESTROY) ::PostQuitMessage(0);
    return ::DefWindowProcA(h, msg, wp, lp);
}

void AddListViewItem(HWND list, int index, const char* text)
{
    LVITEMA item = {};
    item.mask = LVIF_TEXT;
    item.iItem = index;
    item.pszText = const_cast<char*>(text);
    ::SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
}

DWORD WINAPI WindowThread(LPVOID)
{
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES};
    ::InitCommonControlsEx(&controls);
    WNDCLASSA wc = {};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = ::GetModuleHandleA(nullptr);
    wc.lpszClassName = "DriverTestWindow";
    ::RegisterClassA(&wc);
    g_window = ::CreateWindowExA(0, wc.lpszClassName, kMainTitle, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 400, 300,
                                 nullptr, nullptr, wc.hInstance, nullptr);
    HWND list = ::CreateWindowExA(0, WC_LISTVIEWA, "", WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SINGLESEL, 0, 0, 200,
                                  100, g_window, reinterpret_cast<HMENU>(kListViewId), wc.hInstance, nullptr);
    LVCOLUMNA column = {};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.cx = 100;
    column.pszText = const_cast<char*>("name");
    ::SendMessageA(list, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
    AddListViewItem(list, 0, "alpha");
    AddListViewItem(list, 1, "北京");
    AddListViewItem(list, 2, "gamma");
    HWND box = ::CreateWindowExA(0, "ListBox", "", WS_CHILD | WS_VISIBLE | LBS_HASSTRINGS, 200, 0, 100, 100, g_window,
                                 reinterpret_cast<HMENU>(kListBoxId), wc.hInstance, nullptr);
    ::SendMessageA(box, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("编号"));
    ::SendMessageA(box, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("上海, 浦东"));
    ::CreateWindowExA(0, "Edit", "", WS_CHILD | WS_VISIBLE, 0, 120, 200, 20, g_window,
                      reinterpret_cast<HMENU>(kEditId), wc.hInstance, nullptr);
    ::SetEvent(g_ready);
    MSG msg;
    while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    return 0;
}

class TargetProgramTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_ready = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
        m_thread = ::CreateThread(nullptr, 0, WindowThread, nullptr, 0, nullptr);
        ASSERT_EQ(::WaitForSingleObject(g_ready, 10000), WAIT_OBJECT_0);
        m_program.Attach(::GetCurrentProcessId());
        ASSERT_EQ(m_program.Main(), g_window);
    }

    void TearDown() override
    {
        ::PostMessageA(g_window, WM_CLOSE, 0, 0);
        ::WaitForSingleObject(m_thread, 10000);
        ::CloseHandle(m_thread);
        ::CloseHandle(g_ready);
        ::UnregisterClassA("DriverTestWindow", ::GetModuleHandleA(nullptr));
    }

    TargetProgram m_program;
    HANDLE m_thread = nullptr;
};
}

TEST_F(TargetProgramTest, ReadsListViewTextsThroughTheTargetsMemory)
{
    RemoteListView list(m_program, m_program.Item(kListViewId));
    EXPECT_EQ(list.Count(), 3);
    EXPECT_EQ(list.ItemText(0, 0), "alpha");
    EXPECT_EQ(list.ItemText(1, 0), "北京");
    EXPECT_EQ(list.Find("gamma"), 2);
    EXPECT_EQ(list.Find("北"), -1);
}

TEST_F(TargetProgramTest, SelectingAListViewRowNotifiesItsParent)
{
    RemoteListView list(m_program, m_program.Item(kListViewId));
    list.Select(2);
    EXPECT_EQ(g_selectedByNotice, 2);
    list.Select(1);
    EXPECT_EQ(g_selectedByNotice, 1);
    EXPECT_EQ(::SendMessageA(m_program.Item(kListViewId), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED), 1);
}

TEST_F(TargetProgramTest, ReadsListBoxItemsAndEditTextsInTheCodePage)
{
    HWND box = m_program.Item(kListBoxId);
    EXPECT_EQ(m_program.ListText(box, LB_GETTEXTLEN, LB_GETTEXT, 0), "编号");
    EXPECT_EQ(m_program.ListText(box, LB_GETTEXTLEN, LB_GETTEXT, 1), "上海, 浦东");
    HWND edit = m_program.Item(kEditId);
    m_program.SetControlText(edit, "Z:\\数据\\工资.xls");
    EXPECT_EQ(m_program.ControlText(edit), "Z:\\数据\\工资.xls");
}

TEST_F(TargetProgramTest, AWaitFailsWithTheTextOfAMessageBox)
{
    ::PostMessageA(g_window, kShowMessageBox, 0, 0);
    std::string failure;
    try {
        m_program.WaitFor([] { return false; }, "nothing", 10);
    } catch (const DriverFailure& e) {
        failure = e.what();
    }
    EXPECT_EQ(failure, "the program shows a message box: [提示:] 表格不存在");
    std::string text;
    ASSERT_TRUE(m_program.MessageBoxText(text));
    ::PostMessageA(m_program.FindDialog([](HWND) { return true; }), WM_COMMAND, IDOK, 0);
    for (int i = 0; i < 500 && m_program.MessageBoxText(text); ++i) ::Sleep(10);
    EXPECT_FALSE(m_program.MessageBoxText(text));
    // Without a message box, waiting goes on to its own end.
    EXPECT_NO_THROW(m_program.WaitFor([] { return true; }, "something", 10));
}

TEST_F(TargetProgramTest, AnItemTheWindowDoesNotHaveIsAFailure)
{
    EXPECT_THROW(m_program.Item(4242), DriverFailure);
}
