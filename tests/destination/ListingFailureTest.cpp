// What the destination command, the table selection and the conversion's connection show and
// leave when the server cannot be reached or refuses the login.
#include "support/SilentLink.h"   // winsock2.h before windows.h
#include "support/ListingFixture.h"
#include "support/StandIn.h"
#include "destination/CatalogueQueries.h"
#include "destination/DestinationConnection.h"
#include "destination/DestinationSettings.h"

namespace {
void ExpectConnectionWarning(const std::vector<MessageBoxSeen>& boxes)
{
    ASSERT_EQ(1u, boxes.size()) << "the warning is shown exactly once";
    EXPECT_STREQ("数据库连接失败，请确认数据源是否配置正确\n或者您的本地网络是否连通!\n", boxes[0].text);
    EXPECT_STREQ("警告:", boxes[0].caption);
    EXPECT_EQ(SystemIcon(IDI_EXCLAMATION), boxes[0].icon);
}

void ExpectQueryFailures(size_t count, const std::vector<MessageBoxSeen>& boxes)
{
    ASSERT_EQ(count, boxes.size());
    for (const MessageBoxSeen& box : boxes) {
        EXPECT_STREQ("数据库操作异常,终止运行!", box.text);
        EXPECT_STREQ("提示:", box.caption);
        EXPECT_EQ(SystemIcon(IDI_INFORMATION), box.icon);
    }
}

// The stand-in refuses the batches holding `text` while the object lives.
class Refusal {
public:
    explicit Refusal(const char* text) { StandInRefuse(text); }
    ~Refusal() { StandInRefuse(""); }
    Refusal(const Refusal&) = delete;
    Refusal& operator=(const Refusal&) = delete;
};
}

class ListingFailureTest : public ListingFixture {
protected:
    // The state a failure meets: the tables listed, Customers chosen, a field paired.
    void ChooseCustomersAndPair()
    {
        ListTables(StandInServer(), kListingDatabase, "sa", kStandInPassword);
        SelectTable("Customers");
        ASSERT_EQ(3u, ColumnTypes().size());
        dlg.m_strExcelPath = FieldsWorkbook();
        AddMappingRow();
    }
};

TEST_F(ListingFailureTest, WrongPasswordUnknownDatabaseAndClosedPortWarnOnceAndEmptyTheLists)
{
    struct Case {
        const char* what;
        CString server;
        const char* database;
        const char* password;
    };
    CString closed;
    closed.Format("127.0.0.1,%d", ClosedPort());
    const Case cases[] = {
        {"wrong password", StandInServer(), kListingDatabase, "wrong"},
        {"unknown database", StandInServer(), "nosuchdb", kStandInPassword},
        {"closed port", closed, kListingDatabase, kStandInPassword},
        {"password FreeTDS cannot be given", StandInServer(), kListingDatabase, "a;}b"},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        CConverterDlg fresh;
        Run([&] {
            ListTables(StandInServer(), kListingDatabase, "sa", kStandInPassword);
            SelectTable("Customers");
            dlg.m_strExcelPath = FieldsWorkbook();
            AddMappingRow();

            std::vector<MessageBoxSeen> boxes;
            DWORD start = ::GetTickCount();
            ListTables(k.server, k.database, "sa", k.password, &boxes);
            DWORD elapsed = ::GetTickCount() - start;
            ExpectConnectionWarning(boxes);
            std::printf("%s: warning %lu ms after the settings were confirmed, command done after %lu ms\n", k.what,
                        static_cast<unsigned long>(firstBoxTick - confirmedTick), static_cast<unsigned long>(elapsed));
            EXPECT_LT(firstBoxTick - confirmedTick, 15000u);   // the login timeout is 5 s
            EXPECT_EQ(0, dlg.m_comboTables.GetCount());
            EXPECT_EQ(0, dlg.m_listColumns.GetItemCount());
            EXPECT_TRUE(ColumnTypes().empty());
            // The new settings stay; the table chosen before stays the destination table.
            EXPECT_STREQ(k.server, dlg.m_strServer);
            EXPECT_STREQ(k.database, DestinationSettings::database);
            EXPECT_STREQ("Customers", dlg.m_strTable);
            // The mapping does not move to the new destination: it starts anew.
            EXPECT_EQ(0, dlg.m_listMapping.GetItemCount());
            EXPECT_EQ(0, dlg.m_astrMappedTypes.GetSize());
            EXPECT_EQ(std::vector<CString>({"编号", "姓名"}), FieldList());
            // The unopened connection stays referenced until the next set-up.
            ASSERT_TRUE(g_pConnection);
            EXPECT_EQ(adStateClosed, g_pConnection->GetState());
        });
        dlg.m_astrColumnTypes.RemoveAll();
    }
}

TEST_F(ListingFailureTest, AFailedTableSelectionEmptiesTheColumnsWithTheirCodesAndTheMapping)
{
    Run([&] {
        ChooseCustomersAndPair();

        DestinationSettings::password = "wrong";
        std::vector<MessageBoxSeen> boxes;
        SelectTable("Items", &boxes);
        ExpectConnectionWarning(boxes);
        EXPECT_EQ(0, dlg.m_comboTables.GetCount());
        EXPECT_EQ(-1, dlg.m_comboTables.GetCurSel());
        EXPECT_STREQ("Items", dlg.m_strTable);
        EXPECT_EQ(0, dlg.m_listColumns.GetItemCount());
        EXPECT_TRUE(ColumnTypes().empty());   // no stale code for a later mapping row to join
        EXPECT_EQ(0, dlg.m_listMapping.GetItemCount());
        EXPECT_EQ(0, dlg.m_astrMappedTypes.GetSize());
        EXPECT_EQ(std::vector<CString>({"编号", "姓名"}), FieldList());
    });
}

TEST_F(ListingFailureTest, PasswordsWithConnectionStringCharactersLogIn)
{
    Run([&] {
        for (int offset : {1, 2}) {
            const char* password = offset == 1 ? kBracedPassword : kClosingBracePassword;
            std::vector<MessageBoxSeen> boxes;
            ListTables(StandInServer(offset), "master", "sa", password, &boxes);
            EXPECT_TRUE(boxes.empty()) << password;
            EXPECT_EQ(0, dlg.m_comboTables.GetCount());   // master has no user tables
            EXPECT_FALSE(g_pConnection);                  // it was opened and let go
        }
    });
}

TEST_F(ListingFailureTest, TheConversionsConnectionNeedsADatabaseAndUsesTheStoredServer)
{
    Run([&] {
        ListTables(StandInServer(), kListingDatabase, "sa", kStandInPassword);
        ::SetDlgItemTextA(main, IDC_SERVER, "edited.but.not.listed");

        // A database name emptied in the settings dialog: no connection to the login's default.
        DestinationSettings::database = "";
        std::vector<MessageBoxSeen> boxes(1);
        DialogSequenceResult r =
            RunDialogSequence([&] { EXPECT_FALSE(dlg.OpenDestinationConnection()); }, {ReadMessageBox(boxes[0])});
        EXPECT_EQ(1, r.handled);
        EXPECT_EQ(0, r.unexpected);
        EXPECT_STREQ("请输入目的数据库名称!", boxes[0].text);
        EXPECT_STREQ("提示:", boxes[0].caption);
        EXPECT_EQ(SystemIcon(IDI_INFORMATION), boxes[0].icon);
        EXPECT_FALSE(g_pConnection);
        EXPECT_EQ(4, dlg.m_comboTables.GetCount());

        DestinationSettings::database = kListingDatabase;
        r = RunDialogSequence([&] { EXPECT_TRUE(dlg.OpenDestinationConnection()); }, {});
        EXPECT_EQ(0, r.unexpected);
        ASSERT_TRUE(g_pConnection);
        EXPECT_EQ(adStateOpen, g_pConnection->GetState());
        g_pConnection->Close();

        DestinationSettings::password = "wrong";
        boxes.assign(2, MessageBoxSeen());
        r = RunDialogSequence([&] { EXPECT_FALSE(dlg.OpenDestinationConnection()); },
                              {ReadMessageBox(boxes[0]), ReadMessageBox(boxes[1])});
        boxes.resize(static_cast<size_t>(r.handled));
        ExpectConnectionWarning(boxes);
        EXPECT_EQ(0, dlg.m_comboTables.GetCount());
    });
}

TEST_F(ListingFailureTest, AFailingCatalogueQueryIsReportedAndTheListingEndsAsUsual)
{
    Run([&] {
        ChooseCustomersAndPair();

        // The identity check fails while the column query succeeds: a column that cannot be
        // checked is left out, with the message once for each of the table's four columns.
        std::vector<MessageBoxSeen> boxes;
        {
            Refusal refusal("'isidentity'");
            DialogSequenceResult r = SelectTable("Customers", &boxes);
            EXPECT_EQ(0, r.unexpected);
        }
        ExpectQueryFailures(4, boxes);
        EXPECT_EQ(0, dlg.m_listColumns.GetItemCount());
        EXPECT_TRUE(ColumnTypes().empty());
        EXPECT_FALSE(g_pConnection);
        EXPECT_EQ(0, dlg.m_listMapping.GetItemCount());   // the listing still ends as usual
        EXPECT_EQ(std::vector<CString>({"编号", "姓名"}), FieldList());

        // The column query fails: one message, no columns; the tables stay listed.
        SelectTable("Items");
        ASSERT_EQ(1, dlg.m_listColumns.GetItemCount());
        AddMappingRow();
        {
            Refusal refusal("select name,xtype from");
            SelectTable("Customers", &boxes);
        }
        ExpectQueryFailures(1, boxes);
        EXPECT_EQ(0, dlg.m_listColumns.GetItemCount());
        EXPECT_TRUE(ColumnTypes().empty());
        EXPECT_EQ(4, dlg.m_comboTables.GetCount());
        EXPECT_FALSE(g_pConnection);
        EXPECT_EQ(0, dlg.m_listMapping.GetItemCount());
        EXPECT_EQ(std::vector<CString>({"编号", "姓名"}), FieldList());

        // The table query fails: one message, an empty table box.
        AddMappingRow();
        {
            Refusal refusal("..sysobjects");
            ListTables(StandInServer(), kListingDatabase, "sa", kStandInPassword, &boxes);
        }
        ExpectQueryFailures(1, boxes);
        EXPECT_EQ(0, dlg.m_comboTables.GetCount());
        EXPECT_FALSE(g_pConnection);
        EXPECT_EQ(0, dlg.m_listMapping.GetItemCount());
        EXPECT_EQ(std::vector<CString>({"编号", "姓名"}), FieldList());
    });
}

// The link falls silent while a catalogue query waits for its answer, sockets left open: the
// query is given up a few seconds after its command timeout, before the driver's own give-up
// (twice the timeout), and the recordset and the connection it still holds are let go, unused.
TEST_F(ListingFailureTest, ACatalogueQueryOnALinkThatFallsSilentIsGivenUpBeforeTheDriverGivesUp)
{
    constexpr long kTimeout = 4;
    CSilentLink link(StandInPort());
    UseSettings(kListingDatabase);
    ASSERT_TRUE(ConnectDestination(link.Server()));
    g_pConnection->PutCommandTimeout(kTimeout);
    link.FallSilentAfter(0);
    CRecordsetPtr rs;
    const ULONGLONG start = ::GetTickCount64();
    EXPECT_FALSE(OpenCatalogueQuery(rs, TableListQuery(kListingDatabase)));
    const ULONGLONG elapsed = ::GetTickCount64() - start;
    std::printf("the table query on a silent link was given up after %llu ms\n", elapsed);
    EXPECT_NE(0u, link.SilentSince());
    EXPECT_GE(elapsed, kTimeout * 1000u);
    EXPECT_LT(elapsed, 2 * kTimeout * 1000u) << "the driver's own give-up comes only then";
    EXPECT_FALSE(rs);
    EXPECT_FALSE(g_pConnection);
}
