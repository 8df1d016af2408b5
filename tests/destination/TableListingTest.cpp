// The destination command (button 1009) and the table selection of the main dialog, through
// FreeTDS to the stand-in.
#include "support/ListingFixture.h"
#include "destination/DestinationConnection.h"
#include "destination/DestinationSettings.h"
#include <map>

namespace {
std::vector<CString> Strings(std::initializer_list<const char*> items)
{
    return std::vector<CString>(items.begin(), items.end());
}
}

using TableListingTest = ListingFixture;

TEST_F(TableListingTest, ListsTheUserTablesInNameOrderAndLetsTheConnectionGo)
{
    Run([&] {
        DialogSequenceResult r = ListTables(StandInServer(), kListingDatabase, "sa", kStandInPassword);
        EXPECT_EQ(1, r.handled);
        EXPECT_EQ(0, r.unexpected);   // no message
        EXPECT_EQ(Strings({"Customers", "Items", "Orders", "员工"}), TableBox());
        EXPECT_EQ(-1, dlg.m_comboTables.GetCurSel());
        EXPECT_STREQ(StandInServer(), dlg.m_strServer);
        EXPECT_STREQ(kListingDatabase, DestinationSettings::database);
        EXPECT_FALSE(g_pConnection);
        EXPECT_TRUE(::IsWindowEnabled(main));
    });
}

TEST_F(TableListingTest, ChoosingATableListsItsColumnsWithTypeNamesAndCodesButNotTheIdentity)
{
    Run([&] {
        ListTables(StandInServer(), kListingDatabase, "sa", kStandInPassword);
        DialogSequenceResult r = SelectTable("Customers");
        EXPECT_EQ(0, r.unexpected);
        EXPECT_STREQ("Customers", dlg.m_strTable);
        auto rows = ColumnRows();
        ASSERT_EQ(3u, rows.size());
        EXPECT_STREQ("Balance", rows[0].name);
        EXPECT_STREQ("money", rows[0].type);
        EXPECT_STREQ("City", rows[1].name);
        EXPECT_STREQ("varchar", rows[1].type);
        EXPECT_STREQ("Name", rows[2].name);
        EXPECT_STREQ("nvarchar", rows[2].type);
        for (const auto& row : rows) EXPECT_EQ(1, row.image);
        EXPECT_EQ(Strings({"60", "167", "231"}), ColumnTypes());
        EXPECT_FALSE(g_pConnection);

        // Chinese names both ways; types without a name show an empty type but keep their code.
        SelectTable("员工");
        rows = ColumnRows();
        auto codes = ColumnTypes();
        ASSERT_EQ(6u, rows.size());
        ASSERT_EQ(6u, codes.size());
        std::map<std::string, std::pair<std::string, std::string>> seen;
        for (size_t i = 0; i < rows.size(); ++i) seen[rows[i].name.str()] = {rows[i].type.str(), codes[i].str()};
        using P = std::pair<std::string, std::string>;
        EXPECT_EQ(P("int", "56"), seen["编号"]);
        EXPECT_EQ(P("nvarchar", "231"), seen["姓名"]);
        EXPECT_EQ(P("datetime", "61"), seen["入职日期"]);
        EXPECT_EQ(P("decimal", "106"), seen["工资"]);
        EXPECT_EQ(P("", "241"), seen["资料"]);
        EXPECT_EQ(P("", "240"), seen["位置"]);
        EXPECT_EQ(0u, seen.count("id"));
    });
}

TEST_F(TableListingTest, ATableWithOnlyAnIdentityColumnListsNothing)
{
    Run([&] {
        ListTables(StandInServer(), kListingDatabase, "sa", kStandInPassword);
        SelectTable("Customers");
        SelectTable("Orders");
        EXPECT_EQ(0, dlg.m_listColumns.GetItemCount());
        EXPECT_TRUE(ColumnTypes().empty());
        EXPECT_STREQ("Orders", dlg.m_strTable);
    });
}

TEST_F(TableListingTest, OneTableThenAnotherLeavesExactlyTheSecondTablesCodes)
{
    Run([&] {
        ListTables(StandInServer(), kListingDatabase, "sa", kStandInPassword);
        SelectTable("Items");
        EXPECT_EQ(Strings({"175"}), ColumnTypes());
        SelectTable("Customers");
        EXPECT_EQ(Strings({"60", "167", "231"}), ColumnTypes());
        EXPECT_EQ(3, dlg.m_listColumns.GetItemCount());
        SelectTable("Items");
        EXPECT_EQ(Strings({"175"}), ColumnTypes());
        EXPECT_EQ(1, dlg.m_listColumns.GetItemCount());
    });
}

TEST_F(TableListingTest, NamesThatNeedBracketsAreListed)
{
    Run([&] {
        std::vector<MessageBoxSeen> boxes;
        ListTables(StandInServer(), kQuotingDatabase, "sa", kStandInPassword, &boxes);
        EXPECT_TRUE(boxes.empty());
        EXPECT_EQ(Strings({"it's", "order", "乚 x]"}), TableBox());
        SelectTable("it's", &boxes);
        EXPECT_TRUE(boxes.empty());
        ASSERT_EQ(1u, ColumnRows().size());   // a is the identity column
        EXPECT_STREQ("b", ColumnRows()[0].name);
        EXPECT_EQ(Strings({"167"}), ColumnTypes());
        SelectTable("乚 x]", &boxes);
        EXPECT_TRUE(boxes.empty());
        ASSERT_EQ(1u, ColumnRows().size());
        EXPECT_STREQ("c", ColumnRows()[0].name);
        EXPECT_STREQ("bigint", ColumnRows()[0].type);
        SelectTable("order");
        EXPECT_EQ(Strings({"104", "239"}), ColumnTypes());
    });
}

TEST_F(TableListingTest, ListingsEmptyTheMappingAndReloadTheWorkbookFields)
{
    Run([&] {
        dlg.m_strExcelPath = FieldsWorkbook();
        AddMappingRow();
        ListTables(StandInServer(), kListingDatabase, "sa", kStandInPassword);
        EXPECT_EQ(0, dlg.m_listMapping.GetItemCount());
        EXPECT_EQ(0, dlg.m_astrMappedTypes.GetSize());
        EXPECT_EQ(Strings({"编号", "姓名"}), FieldList());

        // Without mapping rows the field list is left as it is.
        dlg.m_listFields.AddItem("extra");
        SelectTable("Items");
        EXPECT_EQ(Strings({"编号", "姓名", "extra"}), FieldList());

        // A workbook that is gone is not reloaded; the mapping still goes.
        dlg.m_strExcelPath = FieldsWorkbook() + ".gone";
        AddMappingRow();
        SelectTable("Customers");
        EXPECT_EQ(0, dlg.m_listMapping.GetItemCount());
        EXPECT_EQ(0, dlg.m_astrMappedTypes.GetSize());
        EXPECT_EQ(Strings({"编号", "姓名", "extra", "stale"}), FieldList());
    });
}

TEST_F(TableListingTest, ChoosingAWorkbookListsTheSelectedTablesColumnsAgain)
{
    Run([&] {
        ListTables(StandInServer(), kListingDatabase, "sa", kStandInPassword);
        dlg.RelistSelectedTable();   // no selection: nothing happens
        EXPECT_EQ(0, dlg.m_listColumns.GetItemCount());
        SelectTable("Customers");
        dlg.m_listColumns.DeleteItem(0);   // as pairing takes a column out
        dlg.m_astrColumnTypes.RemoveAt(0);
        dlg.RelistSelectedTable();
        EXPECT_EQ(3, dlg.m_listColumns.GetItemCount());
        EXPECT_EQ(Strings({"60", "167", "231"}), ColumnTypes());
    });
}

TEST_F(TableListingTest, ReturnInTheSettingsDialogChangesNothing)
{
    Run([&] {
        ListTables(StandInServer(), kListingDatabase, "sa", kStandInPassword);
        SelectTable("Items");
        ::SetDlgItemTextA(main, IDC_SERVER, "elsewhere");
        DialogSequenceResult r = RunDialogSequence([&] { ClickButton(main, IDC_DESTINATION); },
                                                   {[](HWND settings) { ClickButton(settings, IDCANCEL); }});
        EXPECT_EQ(1, r.handled);
        EXPECT_EQ(0, r.unexpected);
        EXPECT_STREQ(StandInServer(), dlg.m_strServer);
        EXPECT_EQ(4u, TableBox().size());
        EXPECT_EQ(1, dlg.m_listColumns.GetItemCount());
    });
}
