// The mapping table rules on the real main dialog, driven with the notifications its lists
// send: selection changes, double clicks, the create and remove buttons.
#include "app/ConverterDlg.h"
#include "source/WorkbookFields.h"
#include "support/ModalDriver.h"
#include <gtest/gtest.h>
#include <vector>

namespace {
struct Row {
    CString excel, sql, type;
};

class MappingTableTest : public ::testing::Test {
protected:
    CConverterDlg dlg;
    HWND h = nullptr;

    // Runs `body` on the open dialog whose field list holds `fields` and whose column list
    // holds `columns` (name, type name, type code).
    void WithDialog(std::vector<const char*> fields, std::vector<std::vector<const char*>> columns,
                    const std::function<void()>& body)
    {
        RunModal(dlg, [&](HWND hwnd) {
            h = hwnd;
            for (const char* f : fields) dlg.m_listFields.AddItem(f, kFieldBackColor, kFieldTextColor, 0, DT_VCENTER);
            for (auto& c : columns) {
                int at = dlg.m_listColumns.InsertItem(dlg.m_listColumns.GetItemCount(), c[0], 1);
                dlg.m_listColumns.SetItemText(at, 1, c[1]);
                dlg.m_astrColumnTypes.Add(c[2]);
            }
            body();
        });
    }
    void Command(int id, int code, HWND from) { ::SendMessageA(h, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(from)); }
    void Notify(CListCtrl& list, UINT code)
    {
        NMITEMACTIVATE nm = {};
        nm.hdr.hwndFrom = list.m_hWnd;
        nm.hdr.idFrom = static_cast<UINT_PTR>(list.GetDlgCtrlID());
        nm.hdr.code = code;
        nm.iItem = list.GetNextItem(-1, LVNI_SELECTED);
        ::SendMessageA(h, WM_NOTIFY, nm.hdr.idFrom, reinterpret_cast<LPARAM>(&nm));
    }
    void SelectField(int i)
    {
        dlg.m_listFields.SetCurSel(i);
        Command(IDC_FIELD_LIST, LBN_SELCHANGE, dlg.m_listFields);
    }
    void DblclkField(int i) { SelectField(i); Command(IDC_FIELD_LIST, LBN_DBLCLK, dlg.m_listFields); }
    // Selecting a list-view row makes the control itself send LVN_ITEMCHANGED.
    void SelectRow(CListCtrl& list, int i) { list.SetItemState(i, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED); }
    void DblclkColumn(int i) { SelectRow(dlg.m_listColumns, i); Notify(dlg.m_listColumns, NM_DBLCLK); }
    void DblclkMapping(int i) { SelectRow(dlg.m_listMapping, i); Notify(dlg.m_listMapping, NM_DBLCLK); }

    std::vector<Row> Rows()
    {
        std::vector<Row> rows;
        for (int i = 0; i < dlg.m_listMapping.GetItemCount(); ++i)
            rows.push_back({dlg.m_listMapping.GetItemText(i, 0), dlg.m_listMapping.GetItemText(i, 1), dlg.m_listMapping.GetItemText(i, 2)});
        return rows;
    }
    std::vector<CString> Fields() { return ListBoxTexts(dlg.m_listFields); }
    std::vector<CString> Columns()
    {
        std::vector<CString> c;
        for (int i = 0; i < dlg.m_listColumns.GetItemCount(); ++i) c.push_back(dlg.m_listColumns.GetItemText(i, 0));
        return c;
    }
    std::vector<CString> Codes(const CStringArray& a)
    {
        std::vector<CString> c;
        for (int i = 0; i < a.GetSize(); ++i) c.push_back(a[i]);
        return c;
    }
};

using Strings = std::vector<CString>;
}

TEST_F(MappingTableTest, FieldThenColumnAndColumnThenFieldGiveTheSameCompleteRow)
{
    WithDialog({"编号", "姓名"}, {{"id", "int", "56"}, {"name", "nvarchar", "231"}}, [&] {
        DblclkField(1);                 // 姓名
        DblclkColumn(1);                // name
        DblclkColumn(0);                // id, then
        DblclkField(0);                 // 编号
        auto rows = Rows();
        ASSERT_EQ(2u, rows.size());
        EXPECT_STREQ("姓名", rows[0].excel);
        EXPECT_STREQ("name", rows[0].sql);
        EXPECT_STREQ("nvarchar", rows[0].type);
        EXPECT_STREQ("编号", rows[1].excel);
        EXPECT_STREQ("id", rows[1].sql);
        EXPECT_STREQ("int", rows[1].type);
        EXPECT_TRUE(Fields().empty());
        EXPECT_TRUE(Columns().empty());
        EXPECT_EQ((Strings{"231", "56"}), Codes(dlg.m_astrMappedTypes));
        EXPECT_TRUE(dlg.m_astrColumnTypes.IsEmpty());
        EXPECT_EQ(0, dlg.m_listMapping.GetItemImage(0));
        EXPECT_EQ(-1, dlg.m_nFieldSel);
        EXPECT_EQ(-1, dlg.m_nColumnSel);
        EXPECT_TRUE(dlg.IsMappingComplete());
    });
}

TEST_F(MappingTableTest, SecondFieldOrColumnBeforeTheRowIsCompleteIsRefusedByName)
{
    WithDialog({"A", "B"}, {{"x", "int", "56"}, {"y", "int", "56"}}, [&] {
        DblclkField(0);
        MessageBoxSeen box = CatchMessageBox([&] { DblclkField(0); });   // B, now at index 0
        EXPECT_STREQ("Excel字段A尚未设置对应的SQL映射字段.\n请一一设置字段映射关系.", box.text);
        EXPECT_STREQ("警告:", box.caption);
        EXPECT_EQ(SystemIcon(IDI_EXCLAMATION), box.icon);
        EXPECT_EQ(1u, Rows().size());
        EXPECT_EQ((Strings{"B"}), Fields());

        // With an incomplete row the create button refuses; the double click completes it.
        SelectField(0);
        SelectRow(dlg.m_listColumns, 0);
        box = CatchMessageBox([&] { ClickButton(h, IDC_CREATE_MAPPING); });
        EXPECT_STREQ("存在不完整的字段映射,不能建立新的字段映射关系!", box.text);
        EXPECT_STREQ("提示:", box.caption);
        EXPECT_EQ(SystemIcon(IDI_INFORMATION), box.icon);
        DblclkColumn(0);
        ASSERT_EQ(1u, Rows().size());
        EXPECT_STREQ("x", Rows()[0].sql);

        DblclkColumn(0);   // y starts a new row
        box = CatchMessageBox([&] { DblclkColumn(0); });
        EXPECT_FALSE(box.shown);   // nothing left to double-click: the column list is empty
        EXPECT_EQ(2u, Rows().size());
    });
}

TEST_F(MappingTableTest, ColumnWaitingForAFieldRefusesAnotherColumn)
{
    WithDialog({"A"}, {{"x", "int", "56"}, {"y", "money", "60"}}, [&] {
        DblclkColumn(0);
        MessageBoxSeen box = CatchMessageBox([&] { DblclkColumn(0); });
        EXPECT_STREQ("SQL-Server字段x尚未设置对应的Excel映射字段.\n请一一设置字段映射关系.", box.text);
        EXPECT_STREQ("警告:", box.caption);
        EXPECT_EQ((Strings{"y"}), Columns());
        EXPECT_EQ((Strings{"60"}), Codes(dlg.m_astrColumnTypes));
        EXPECT_EQ((Strings{"56"}), Codes(dlg.m_astrMappedTypes));
    });
}

TEST_F(MappingTableTest, CreateButtonPairsTheSelectedFieldAndColumn)
{
    WithDialog({"A", "B"}, {{"x", "int", "56"}, {"y", "datetime", "61"}}, [&] {
        ClickButton(h, IDC_CREATE_MAPPING);   // nothing selected: nothing happens
        EXPECT_TRUE(Rows().empty());
        SelectField(1);
        SelectRow(dlg.m_listColumns, 1);
        ClickButton(h, IDC_CREATE_MAPPING);
        ASSERT_EQ(1u, Rows().size());
        EXPECT_STREQ("B", Rows()[0].excel);
        EXPECT_STREQ("y", Rows()[0].sql);
        EXPECT_STREQ("datetime", Rows()[0].type);
        EXPECT_EQ((Strings{"61"}), Codes(dlg.m_astrMappedTypes));
        EXPECT_EQ((Strings{"56"}), Codes(dlg.m_astrColumnTypes));
    });
}

TEST_F(MappingTableTest, KeptSelectionIndexesBeyondTheirListsCountAsNoSelection)
{
    WithDialog({"A"}, {{"x", "int", "56"}}, [&] {
        dlg.m_nFieldSel = 5;
        dlg.m_nColumnSel = 7;
        ClickButton(h, IDC_CREATE_MAPPING);
        Command(IDC_FIELD_LIST, LBN_DBLCLK, dlg.m_listFields);
        Notify(dlg.m_listColumns, NM_DBLCLK);
        dlg.m_nMappingSel = 3;
        ClickButton(h, IDC_REMOVE_MAPPING);
        EXPECT_TRUE(Rows().empty());
        EXPECT_EQ((Strings{"A"}), Fields());
        EXPECT_EQ((Strings{"x"}), Columns());
    });
}

TEST_F(MappingTableTest, RemovingRowsGivesFieldsAndColumnsBackAtTheEnd)
{
    WithDialog({"A", "B", "C", "D"}, {{"x", "int", "56"}, {"y", "varchar", "167"}, {"z", "float", "62"}, {"w", "bit", "104"}},
               [&] {
        for (int i = 0; i < 3; ++i) { DblclkField(0); DblclkColumn(0); }
        EXPECT_EQ((Strings{"56", "167", "62"}), Codes(dlg.m_astrMappedTypes));
        // Row 0 of three complete rows: rows 1 and 2 keep their codes, now at 0 and 1.
        SelectRow(dlg.m_listMapping, 0);
        ClickButton(h, IDC_REMOVE_MAPPING);
        auto rows = Rows();
        ASSERT_EQ(2u, rows.size());
        EXPECT_STREQ("B", rows[0].excel);
        EXPECT_STREQ("z", rows[1].sql);
        EXPECT_EQ((Strings{"167", "62"}), Codes(dlg.m_astrMappedTypes));
        EXPECT_EQ((Strings{"D", "A"}), Fields());
        EXPECT_EQ((Strings{"w", "x"}), Columns());
        EXPECT_STREQ("int", dlg.m_listColumns.GetItemText(1, 1));
        EXPECT_EQ(1, dlg.m_listColumns.GetItemImage(1));
        EXPECT_EQ((Strings{"104", "56"}), Codes(dlg.m_astrColumnTypes));
        const ListItemStyle* style = dlg.m_listFields.GetItemStyle(1);
        ASSERT_NE(nullptr, style);
        EXPECT_EQ(kFieldTextColor, style->crText);
        EXPECT_EQ(kFieldBackColor, style->crBack);
        EXPECT_EQ(-1, dlg.m_nMappingSel);
        // A double click on a row removes it too.
        DblclkMapping(1);
        EXPECT_EQ(1u, Rows().size());
        EXPECT_EQ((Strings{"167"}), Codes(dlg.m_astrMappedTypes));
        EXPECT_EQ((Strings{"104", "56", "62"}), Codes(dlg.m_astrColumnTypes));
    });
}

TEST_F(MappingTableTest, RemovingAnExcelOnlyRowLeavesTheTypeCodesAlone)
{
    WithDialog({"A"}, {{"x", "int", "56"}}, [&] {
        DblclkField(0);
        EXPECT_FALSE(dlg.IsMappingComplete());
        DblclkMapping(0);
        EXPECT_TRUE(Rows().empty());
        EXPECT_EQ((Strings{"A"}), Fields());
        EXPECT_TRUE(dlg.m_astrMappedTypes.IsEmpty());
        EXPECT_EQ((Strings{"56"}), Codes(dlg.m_astrColumnTypes));
        EXPECT_TRUE(dlg.IsMappingComplete());
    });
}
