#include "testing/driver/Steps.h"
#include "res/resource.h"
#include "testing/driver/Console.h"
#include "testing/driver/Failure.h"
#include "testing/driver/RemoteListView.h"
#include "testing/driver/TargetProgram.h"
#include <commctrl.h>
#include <cstdlib>

namespace {
const char kOpenFileTitle[] = "打开文件...";
const char kCompleted[] = "数据转换完成";
const char kStopped[] = "数据转换中止";
const char kConverting[] = "正在转换数据";
// The file-name field of the open-file dialog: a combo box in the explorer style, an edit in
// the older one.
constexpr int kFileNameCombo = 0x47c;
constexpr int kFileNameEdit = 0x480;
// The status line is read this often while the program converts, one request to the window
// server each. Reading it every 5 ms made timed runs slower: each wake-up takes a processor
// from the program and the server, which answer each other row by row.
constexpr DWORD kConversionPollMs = 25;

bool StartsWith(const std::string& text, const char* prefix)
{
    return text.rfind(prefix, 0) == 0;
}

std::vector<std::string> ListBoxItems(const TargetProgram& program, HWND list)
{
    std::vector<std::string> items;
    for (LRESULT i = 0, n = program.Send(list, LB_GETCOUNT, 0, 0); i < n; ++i)
        items.push_back(program.ListText(list, LB_GETTEXTLEN, LB_GETTEXT, static_cast<WPARAM>(i)));
    return items;
}

std::vector<std::string> ComboItems(const TargetProgram& program, HWND combo)
{
    std::vector<std::string> items;
    for (LRESULT i = 0, n = program.Send(combo, CB_GETCOUNT, 0, 0); i < n; ++i)
        items.push_back(program.ListText(combo, CB_GETLBTEXTLEN, CB_GETLBTEXT, static_cast<WPARAM>(i)));
    return items;
}

std::vector<std::string> ListViewNames(const RemoteListView& list)
{
    std::vector<std::string> names;
    for (int i = 0, n = list.Count(); i < n; ++i) names.push_back(list.ItemText(i, 0));
    return names;
}

// The edit control a field types into: the field itself, or the edit inside its combo box
// (the explorer-style file-name field is an extended combo box around a combo box).
HWND EditOf(HWND field)
{
    if (!field) return nullptr;
    char cls[32] = "";
    ::GetClassNameA(field, cls, sizeof cls);
    if (lstrcmpiA(cls, "Edit") == 0) return field;
    for (HWND child = ::GetWindow(field, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        if (HWND edit = EditOf(child)) return edit;
    return nullptr;
}

// Waits until a list the program fills has items and their number holds still while the
// program answers messages (it may answer while still filling the list: its database calls
// can let sent messages through).
void WaitForSteadyCount(const TargetProgram& program, const std::function<LRESULT()>& count, const char* what)
{
    LRESULT last = -1;
    int steady = 0;
    program.WaitFor(
        [&] {
            program.WaitIdle(what);
            LRESULT now = count();
            steady = now > 0 && now == last ? steady + 1 : 0;
            last = now;
            if (steady < 5) ::Sleep(20);
            return steady >= 5;
        },
        what);
}

// Waits for a dialog of the program to appear.
HWND WaitForDialog(const TargetProgram& program, const std::function<bool(HWND)>& match, const char* what)
{
    HWND dialog = nullptr;
    program.WaitFor([&] { return (dialog = program.FindDialog(match)) != nullptr; }, what);
    return dialog;
}

void PressOk(const TargetProgram& program, HWND dialog, const char* what)
{
    HWND ok = ::GetDlgItem(dialog, IDOK);
    if (!ok) throw DriverFailure(std::string(what) + " has no OK button");
    ::PostMessageA(ok, BM_CLICK, 0, 0);
    // Gone, not only hidden: until its modal loop has ended, the program answers messages
    // from inside it, before the command that opened it has finished.
    program.WaitFor([dialog] { return !::IsWindow(dialog); }, what);
}
}

std::vector<std::string> OpenWorkbook(const TargetProgram& program, const std::string& path)
{
    program.WaitIdle("the main window");
    ::PostMessageA(program.Item(IDC_BROWSE_EXCEL), BM_CLICK, 0, 0);
    HWND dialog = WaitForDialog(
        program, [](HWND h) { return TargetProgram::Text(h) == kOpenFileTitle; }, "the open-file dialog");
    HWND name = ::GetDlgItem(dialog, kFileNameCombo);
    if (!name) name = ::GetDlgItem(dialog, kFileNameEdit);
    name = EditOf(name);
    if (!name) throw DriverFailure("the open-file dialog has no file-name field");
    // The dialog may still be filling its controls when it shows: type again until the
    // text stays.
    int steady = 0;
    program.WaitFor(
        [&] {
            if (program.ControlText(name) == path) return ++steady == 3;
            steady = 0;
            program.SetControlText(name, path);
            return false;
        },
        "the file-name field to keep the path", 10);
    PressOk(program, dialog, "the open-file dialog");
    HWND fieldList = program.Item(IDC_FIELD_LIST);
    WaitForSteadyCount(program, [&] { return program.Send(fieldList, LB_GETCOUNT, 0, 0); }, "the field list");

    std::string shown = program.ControlText(program.Item(IDC_EXCEL_PATH));
    if (lstrcmpiA(shown.c_str(), path.c_str()) != 0)
        throw DriverFailure("the path field reads \"" + shown + "\", not \"" + path + "\"");
    return ListBoxItems(program, fieldList);
}

std::vector<std::string> ConnectDestination(const TargetProgram& program, const std::string& server,
                                            const std::string& database, const std::string& login,
                                            const std::string& password)
{
    program.SetControlText(program.Item(IDC_SERVER), server);
    ::PostMessageA(program.Item(IDC_DESTINATION), BM_CLICK, 0, 0);
    HWND dialog = WaitForDialog(
        program,
        [](HWND h) { return ::GetDlgItem(h, IDC_DB_NAME) && ::GetDlgItem(h, IDC_LOGIN) && ::GetDlgItem(h, IDC_PASSWORD); },
        "the settings dialog");
    program.SetControlText(::GetDlgItem(dialog, IDC_DB_NAME), database);
    program.SetControlText(::GetDlgItem(dialog, IDC_LOGIN), login);
    program.SetControlText(::GetDlgItem(dialog, IDC_PASSWORD), password);
    PressOk(program, dialog, "the settings dialog");
    HWND combo = program.Item(IDC_TABLE_COMBO);
    WaitForSteadyCount(program, [&] { return program.Send(combo, CB_GETCOUNT, 0, 0); }, "the table list");
    return ComboItems(program, combo);
}

std::vector<std::string> ChooseTable(const TargetProgram& program, const std::string& table)
{
    HWND combo = program.Item(IDC_TABLE_COMBO);
    std::wstring wide = AnsiToWide(table);
    LRESULT index = program.SendW(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(wide.c_str()));
    if (index == CB_ERR) throw DriverFailure("the table list has no table " + table);
    program.Send(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    program.Send(program.Main(), WM_COMMAND, MAKEWPARAM(IDC_TABLE_COMBO, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
    RemoteListView columns(program, program.Item(IDC_COLUMN_LIST));
    WaitForSteadyCount(program, [&] { return columns.Count(); }, "the column list");
    return ListViewNames(columns);
}

std::vector<std::string> PairSameNames(const TargetProgram& program)
{
    HWND fieldList = program.Item(IDC_FIELD_LIST);
    RemoteListView columns(program, program.Item(IDC_COLUMN_LIST));
    RemoteListView mapping(program, program.Item(IDC_MAPPING_LIST));
    std::vector<std::string> paired;
    for (const std::string& field : ListBoxItems(program, fieldList)) {
        int column = columns.Find(field);
        if (column < 0) continue;
        // The field's place now: pairing takes items out of the list.
        std::vector<std::string> fields = ListBoxItems(program, fieldList);
        WPARAM index = 0;
        while (index < fields.size() && fields[index] != field) ++index;
        if (index == fields.size()) throw DriverFailure("field " + field + " left the field list");

        program.Send(fieldList, LB_SETCURSEL, index, 0);
        program.Send(program.Main(), WM_COMMAND, MAKEWPARAM(IDC_FIELD_LIST, LBN_SELCHANGE), reinterpret_cast<LPARAM>(fieldList));
        columns.Select(column);
        const int row = mapping.Count();
        program.Send(program.Item(IDC_CREATE_MAPPING), BM_CLICK, 0, 0);
        if (mapping.Count() != row + 1 || mapping.ItemText(row, 0) != field || mapping.ItemText(row, 1) != field)
            throw DriverFailure("no mapping row pairs field " + field + " with its column");
        paired.push_back(field);
    }
    return paired;
}

ConversionOutcome Convert(const TargetProgram& program, int timeoutSeconds)
{
    HWND status = program.Item(IDC_STATUS);
    program.WaitIdle("the main window");
    const std::string before = TargetProgram::Text(status);
    bool sawRun = false;
    std::string text;
    LARGE_INTEGER frequency, start, end;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&start);
    ::PostMessageA(program.Item(IDOK), BM_CLICK, 0, 0);
    program.WaitFor(
        [&] {
            text = TargetProgram::Text(status);
            sawRun = sawRun || StartsWith(text, kConverting);
            // A final line left by an earlier run counts only once the new run has begun.
            return (StartsWith(text, kCompleted) || StartsWith(text, kStopped)) && (sawRun || text != before);
        },
        "the end of the conversion", timeoutSeconds, kConversionPollMs);
    ::QueryPerformanceCounter(&end);

    ConversionOutcome outcome;
    outcome.status = text;
    outcome.completed = StartsWith(text, kCompleted);
    size_t digits = text.find_first_of("0123456789");
    outcome.rows = digits == std::string::npos ? -1 : std::atoi(text.c_str() + digits);
    outcome.seconds = static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
    return outcome;
}
