// The ADO-style connection and recordset over the real FreeTDS driver and the stand-in.
#include <winsock2.h>
#include "support/SilentLink.h"
#include "support/StandIn.h"
#include "destination/ConnectionString.h"
#include "framework/AdoError.h"
#include "framework/AdoRecordset.h"
#include <functional>
#include <gtest/gtest.h>

namespace {
CString ConnectionString(const char* server, const char* database = "adotest", const char* password = kStandInPassword)
{
    return DestinationConnectionString(server, database, "sa", password);
}

// Runs `f`, which must raise _com_error; returns it.
template <class F>
_com_error Raised(F f)
{
    try {
        f();
    } catch (const _com_error& e) {
        return e;
    }
    ADD_FAILURE() << "no _com_error raised";
    return _com_error(S_OK);
}

class AdoConnectionTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        CreateFreshDatabase("adotest");
        StandInExec("adotest", "create table t (id int identity(1,1) not null, 名称 nvarchar(50), n int, d decimal(10,2))");
        StandInExec("adotest", "insert into t (名称, n, d) values (N'北京', 7, 12.50), (NULL, NULL, NULL), ('x', -3, 0)");
    }

    CConnectionPtr Connect(const CString& server = StandInServer())
    {
        CConnectionPtr c;
        c.CreateInstance();
        c->PutConnectionTimeout(5);
        c->PutCursorLocation(adUseClient);
        c->PutIsolationLevel(adXactReadCommitted);
        c->Open(ConnectionString(server), "", "", 0);
        return c;
    }

    static int Rows()
    {
        CConnectionPtr c;
        c.CreateInstance();
        c->Open(ConnectionString(StandInServer()));
        CRecordsetPtr rs;
        rs.CreateInstance();
        rs->Open("select count(*) as n from t", c);
        return std::atoi(*rs->GetCollect("n"));
    }
};
}

TEST_F(AdoConnectionTest, OpensExecutesAndCloses)
{
    CConnectionPtr c = Connect();
    EXPECT_EQ(adStateOpen, c->GetState());
    EXPECT_EQ(2, c->Execute("insert into t (名称, n) values ('a', 1), ('b', 2)"));
    EXPECT_EQ(2, c->Execute("delete from t where n in (1, 2)"));
    c->Close();
    EXPECT_EQ(adStateClosed, c->GetState());
    _com_error e = Raised([&] { c->Close(); });
    EXPECT_EQ(kAdoErrObjectClosed, e.Error());
}

TEST_F(AdoConnectionTest, RecordsetReadsTextNumbersAndNullByFieldName)
{
    CConnectionPtr c = Connect();
    CRecordsetPtr rs;
    rs.CreateInstance();
    rs->Open("select 名称, n, d from t order by id", c);
    EXPECT_EQ(adStateOpen, rs->GetState());
    ASSERT_FALSE(rs->GetEOF());
    EXPECT_STREQ("北京", *rs->GetCollect("名称"));   // GBK both ways
    EXPECT_STREQ("7", *rs->GetCollect("N"));          // names without regard to case
    EXPECT_STREQ("12.50", *rs->GetCollect("d"));
    rs->MoveNext();
    EXPECT_FALSE(rs->GetCollect("名称").has_value());
    EXPECT_FALSE(rs->GetCollect("n").has_value());
    rs->MoveNext();
    EXPECT_STREQ("-3", *rs->GetCollect("n"));
    rs->MoveNext();
    EXPECT_TRUE(rs->GetEOF());
    EXPECT_EQ(kAdoErrNoCurrentRecord, Raised([&] { rs->GetCollect("n"); }).Error());
    EXPECT_EQ(kAdoErrNoCurrentRecord, Raised([&] { rs->MoveNext(); }).Error());
    rs->Close();
    EXPECT_EQ(adStateClosed, rs->GetState());
    EXPECT_EQ(kAdoErrObjectClosed, Raised([&] { rs->GetEOF(); }).Error());
}

TEST_F(AdoConnectionTest, ClientSideRecordsetLeavesTheConnectionFreeForTheNextQuery)
{
    CConnectionPtr c = Connect();
    CRecordsetPtr outer, inner;
    outer.CreateInstance();
    outer->Open("select name from syscolumns where id=object_id('t') order by name asc", c);
    int rows = 0;
    for (; !outer->GetEOF(); outer->MoveNext(), ++rows) {
        inner.CreateInstance();   // releases the previous one
        inner->Open("select count(*) as n from t", c);
        EXPECT_STREQ("3", *inner->GetCollect("n"));
        inner->Close();
    }
    EXPECT_EQ(4, rows);
}

TEST_F(AdoConnectionTest, EachExecuteLeavesTheConnectionFreeWhateverItsBatchLeftBehind)
{
    // Rows nobody reads, a refused statement, a refusal between two results: each call's
    // leftovers are gone before the next call, on the same connection, and before a recordset.
    struct Case {
        const char* sql;
        bool fails;
    };
    CConnectionPtr c = Connect();
    for (Case k : {Case{"select n from t", false}, Case{"insert into nowhere (n) values (1)", true},
                   Case{"select n from t; select nothing from nowhere; select n from t", true}, Case{"select 名称 from t", false}}) {
        if (k.fails) EXPECT_ANY_THROW(c->Execute(k.sql)) << k.sql;
        else EXPECT_NO_THROW(c->Execute(k.sql)) << k.sql;
        EXPECT_EQ(1, c->Execute("update t set n = -3 where n = -3")) << "after " << k.sql;
        CRecordsetPtr rs;
        rs.CreateInstance();
        rs->Open("select n from t where n = -3", c);
        EXPECT_STREQ("-3", *rs->GetCollect("n")) << "after " << k.sql;
    }
    // Closed and opened again, the connection runs statements on the new login.
    c->Close();
    c->Open(ConnectionString(StandInServer()));
    EXPECT_EQ(1, c->Execute("update t set n = -3 where n = -3"));
}

TEST_F(AdoConnectionTest, FailuresRaiseComErrorsCarryingTheDriversText)
{
    CConnectionPtr c = Connect();
    CRecordsetPtr rs;
    rs.CreateInstance();
    _com_error e = Raised([&] { rs->Open("select nothing from nowhere", c); });
    EXPECT_EQ(E_FAIL, e.Error());
    EXPECT_GE(ComErrorDescription(e).Find("nowhere"), 0) << ComErrorDescription(e).GetString();
    EXPECT_EQ(adStateClosed, rs->GetState());
    rs->Open("select n from t", c);
    EXPECT_EQ(kAdoErrItemNotFound, Raised([&] { rs->GetCollect("missing"); }).Error());
    // A statement without rows leaves the recordset closed.
    CRecordsetPtr none;
    none.CreateInstance();
    none->Open("delete from t where n = 12345", c);
    EXPECT_EQ(adStateClosed, none->GetState());

    CConnectionPtr wrong;
    wrong.CreateInstance();
    e = Raised([&] { wrong->Open(ConnectionString(StandInServer(), "adotest", "wrong")); });
    EXPECT_EQ(E_FAIL, e.Error());
    EXPECT_GE(ComErrorDescription(e).Find("18456"), 0) << ComErrorDescription(e).GetString();
    EXPECT_EQ(adStateClosed, wrong->GetState());
}

TEST_F(AdoConnectionTest, EmptyReferencesAndClosedConnectionsAreRefused)
{
    CConnectionPtr empty;
    EXPECT_EQ(E_POINTER, Raised([&] { empty->PutConnectionTimeout(5); }).Error());
    CRecordsetPtr rs;
    EXPECT_EQ(E_POINTER, Raised([&] { rs->GetEOF(); }).Error());
    rs.CreateInstance();
    EXPECT_NE(S_OK, Raised([&] { rs->Open("select 1", empty); }).Error());
    CConnectionPtr closed;
    closed.CreateInstance();
    EXPECT_NE(S_OK, Raised([&] { rs->Open("select 1", closed); }).Error());
    EXPECT_NE(S_OK, Raised([&] { closed->Execute("select 1"); }).Error());
    EXPECT_NE(S_OK, Raised([&] { closed->PutCursorLocation(adUseServer); }).Error());
    // The reference counts like the platform's smart pointers.
    CConnectionPtr copy = closed;
    EXPECT_EQ(2, closed.RefCount());
    copy.Release();
    EXPECT_EQ(1, closed.RefCount());
}

TEST_F(AdoConnectionTest, ServerNamesAsUsersTypeThem)
{
    CString port;
    port.Format("%d", StandInPort());
    for (const char* host : {"(local)", ".", "localhost", "127.0.0.1"}) {
        CConnectionPtr c;
        c.CreateInstance();
        c->Open(ConnectionString(CString(host) + "," + port));
        EXPECT_EQ(adStateOpen, c->GetState()) << host;
    }
}

TEST_F(AdoConnectionTest, PasswordsWithConnectionStringCharactersReachTheServerIntact)
{
    struct Case {
        int offset;
        const char* password;
    };
    for (Case k : {Case{1, kBracedPassword}, Case{2, kClosingBracePassword}}) {
        CConnectionPtr c;
        c.CreateInstance();
        EXPECT_NO_THROW(c->Open(ConnectionString(StandInServer(k.offset), "", k.password))) << k.password;
        EXPECT_EQ(adStateOpen, c->GetState()) << k.password;
        // One character less is another password: the server does check it.
        CString shorter = CString(k.password).Left(static_cast<int>(strlen(k.password)) - 1);
        CConnectionPtr wrong;
        wrong.CreateInstance();
        EXPECT_ANY_THROW(wrong->Open(ConnectionString(StandInServer(k.offset), "", shorter)));
    }
    // What FreeTDS cannot be given intact is refused before anything is sent.
    CConnectionPtr c;
    c.CreateInstance();
    _com_error e = Raised([&] { c->Open(ConnectionString(StandInServer(), "", "a;}b")); });
    EXPECT_GE(ComErrorDescription(e).Find("FreeTDS"), 0) << ComErrorDescription(e).GetString();
}

TEST_F(AdoConnectionTest, LoginGivesUpAfterTheConnectionTimeoutOnAServerThatNeverAnswers)
{
    WSADATA wsa;
    ASSERT_EQ(0, ::WSAStartup(MAKEWORD(2, 2), &wsa));
    SOCKET silent = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in a = {};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(0, ::bind(silent, reinterpret_cast<sockaddr*>(&a), sizeof a));
    ASSERT_EQ(0, ::listen(silent, 4));   // accepts connections, never answers
    int length = sizeof a;
    ::getsockname(silent, reinterpret_cast<sockaddr*>(&a), &length);
    CString server;
    server.Format("127.0.0.1,%d", ntohs(a.sin_port));

    CConnectionPtr c;
    c.CreateInstance();
    c->PutConnectionTimeout(5);
    DWORD start = ::GetTickCount();
    EXPECT_ANY_THROW(c->Open(ConnectionString(server)));
    DWORD elapsed = ::GetTickCount() - start;
    ::closesocket(silent);
    std::printf("login to a silent server gave up after %lu ms\n", static_cast<unsigned long>(elapsed));
    EXPECT_LT(elapsed, 12000u);   // the default of 15 s would not be
}

// The link to the server falls silent in the middle of a statement, sockets left open: the
// statement gives up and raises the connection's error, for commands and recordsets alike.
// FreeTDS waits CommandTimeout seconds for the answer, sends a cancel, waits as long again
// for the cancel's answer, then drops the connection.
TEST_F(AdoConnectionTest, StatementsOnALinkThatFallsSilentGiveUpAfterTheCommandTimeout)
{
    struct Case {
        const char* name;
        std::function<void(const CConnectionPtr&)> statement;
    };
    const Case cases[] = {
        {"command", [](const CConnectionPtr& c) { c->Execute("insert into t (名称, n) values ('silent', 5)"); }},
        {"recordset",
         [](const CConnectionPtr& c) {
             CRecordsetPtr rs;
             rs.CreateInstance();
             rs->Open("select name from sysobjects where xtype='U' and name<>'dtproperties' order by name asc", c);
         }},
    };
    constexpr long kTimeout = 1;
    const int before = Rows();
    for (const Case& k : cases) {
        CSilentLink link(StandInPort());
        CConnectionPtr c = Connect(link.Server());
        EXPECT_EQ(30, c->GetCommandTimeout()) << "ADO's default";
        c->Execute("select 1");           // the connection's statement, made under the default
        c->PutCommandTimeout(kTimeout);   // while open: the next statement waits that long
        EXPECT_EQ(kTimeout, c->GetCommandTimeout());
        link.FallSilentAfter(0);
        DWORD start = ::GetTickCount();
        _com_error e = Raised([&] { k.statement(c); });
        DWORD elapsed = ::GetTickCount() - start;
        std::printf("%s on a silent link gave up after %lu ms\n", k.name, static_cast<unsigned long>(elapsed));
        EXPECT_NE(0u, link.SilentSince()) << k.name;
        EXPECT_GE(ComErrorDescription(e).Find("HYT00"), 0) << k.name << ": " << ComErrorDescription(e).GetString();
        EXPECT_GE(elapsed, kTimeout * 1000 - 100) << k.name;
        EXPECT_LT(elapsed, 2 * kTimeout * 1000 + 3000) << k.name;
        // The connection is dead from then on: the next statement fails at once.
        start = ::GetTickCount();
        EXPECT_ANY_THROW(c->Execute("select 1")) << k.name;
        EXPECT_LT(::GetTickCount() - start, 1000u) << k.name;
    }
    EXPECT_EQ(before, Rows()) << "the statement cut short never reached the server";
    CConnectionPtr c;
    c.CreateInstance();
    EXPECT_NE(S_OK, Raised([&] { c->PutCommandTimeout(-1); }).Error());
    EXPECT_EQ(30, c->GetCommandTimeout());
}
