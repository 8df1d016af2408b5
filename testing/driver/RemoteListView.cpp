#include "testing/driver/RemoteListView.h"
#include "testing/driver/Failure.h"
#include "testing/driver/TargetProgram.h"
#include <commctrl.h>

namespace {
constexpr size_t kTextBytes = 1024;
constexpr size_t kBlockBytes = sizeof(LVITEMA) + kTextBytes;
}

RemoteListView::RemoteListView(const TargetProgram& program, HWND list) : m_program(program), m_list(list)
{
    m_remote = static_cast<char*>(
        ::VirtualAllocEx(program.Process(), nullptr, kBlockBytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    if (!m_remote) throw DriverFailure("cannot allocate memory in the program's process");
}

RemoteListView::~RemoteListView()
{
    ::VirtualFreeEx(m_program.Process(), m_remote, 0, MEM_RELEASE);
}

void RemoteListView::Write(const void* data, size_t size, size_t offset) const
{
    SIZE_T done = 0;
    if (!::WriteProcessMemory(m_program.Process(), m_remote + offset, data, size, &done) || done != size)
        throw DriverFailure("cannot write to the program's memory");
}

void RemoteListView::Read(void* data, size_t size, size_t offset) const
{
    SIZE_T done = 0;
    if (!::ReadProcessMemory(m_program.Process(), m_remote + offset, data, size, &done) || done != size)
        throw DriverFailure("cannot read the program's memory");
}

int RemoteListView::Count() const
{
    return static_cast<int>(m_program.Send(m_list, LVM_GETITEMCOUNT, 0, 0));
}

std::string RemoteListView::ItemText(int item, int subItem) const
{
    LVITEMA record = {};
    record.iSubItem = subItem;
    record.pszText = m_remote + sizeof(LVITEMA);
    record.cchTextMax = static_cast<int>(kTextBytes);
    Write(&record, sizeof record);
    const char nothing = '\0';
    Write(&nothing, 1, sizeof(LVITEMA));
    LRESULT length = m_program.Send(m_list, LVM_GETITEMTEXTA, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(m_remote));
    if (length <= 0) return std::string();
    std::string text(static_cast<size_t>(length), '\0');
    Read(&text[0], text.size(), sizeof(LVITEMA));
    return text;
}

int RemoteListView::Find(const std::string& text) const
{
    for (int i = 0, n = Count(); i < n; ++i)
        if (ItemText(i, 0) == text) return i;
    return -1;
}

void RemoteListView::Select(int item) const
{
    LVITEMA record = {};
    record.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    record.state = LVIS_SELECTED | LVIS_FOCUSED;
    Write(&record, sizeof record);
    if (!m_program.Send(m_list, LVM_SETITEMSTATE, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(m_remote)))
        throw DriverFailure("the column list refused to select row " + std::to_string(item));
}
