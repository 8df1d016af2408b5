// A list view of another process. Its messages carry pointers that Windows does not carry
// across processes, so the item records and texts live in memory allocated in that process.
#pragma once
#include <windows.h>
#include <string>

class TargetProgram;

class RemoteListView {
public:
    RemoteListView(const TargetProgram& program, HWND list);
    ~RemoteListView();
    RemoteListView(const RemoteListView&) = delete;
    RemoteListView& operator=(const RemoteListView&) = delete;

    int Count() const;
    std::string ItemText(int item, int subItem) const;
    // The first item whose first column reads exactly `text`, or -1.
    int Find(const std::string& text) const;
    // Selects and focuses the item as a click does; the list view then notifies its parent
    // (LVN_ITEMCHANGED) itself.
    void Select(int item) const;

private:
    void Write(const void* data, size_t size, size_t offset = 0) const;
    void Read(void* data, size_t size, size_t offset) const;

    const TargetProgram& m_program;
    HWND m_list;
    char* m_remote = nullptr;   // an LVITEMA followed by its text buffer, in the other process
};
