// Logging in and sessions: the login check, database selection, several clients at once,
// and a clean stop.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <set>
#include <thread>

#include "shared_standin.h"

namespace {

class SessionTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    shared_standin().run_script(
        "sessions", "create table Counter (id int identity(1,1) not null, who int, note nvarchar(20))");
  }
};

TEST_F(SessionTest, GoodLoginOpensTheNamedDatabase) {
  Connected c("sessions");
  ASSERT_TRUE(c.login.ok) << c.login.message;
  EXPECT_EQ(c.client.value("select db_name()"), "sessions");
  // Database names are matched without regard to case, as the server's collation does.
  Connected upper("SESSIONS");
  ASSERT_TRUE(upper.login.ok) << upper.login.message;
}

TEST_F(SessionTest, EmptyDatabaseNameLogsIntoMasterWithoutUserTables) {
  OdbcClient client;
  std::string cs = shared_standin().connection_string("");
  ASSERT_TRUE(client.connect(cs).ok);
  EXPECT_EQ(client.value("select db_name()"), "master");
  Outcome tables = client.run("select name from sysobjects where xtype='U'");
  ASSERT_TRUE(tables.ok) << tables.message;
  EXPECT_TRUE(tables.rows.empty());
}

TEST_F(SessionTest, WrongPasswordOrUserIsRefusedWith18456) {
  for (auto [user, password] : {std::pair<std::string, std::string>{"sa", "wrong"},
                                {"sa", ""},
                                {"nobody", "SheetMover1"},
                                {"SA", "SheetMover1"}}) {
    OdbcClient client;
    Outcome out = client.connect(shared_standin().connection_string("sessions", password, user));
    EXPECT_FALSE(out.ok) << user << "/" << password;
    EXPECT_TRUE(out.has(18456)) << out.message;
  }
}

TEST_F(SessionTest, UnknownDatabaseIsRefusedWith4060) {
  OdbcClient client;
  Outcome out = client.connect(shared_standin().connection_string("no_such_db"));
  EXPECT_FALSE(out.ok);
  EXPECT_TRUE(out.has(4060)) << out.message;
}

TEST_F(SessionTest, UseSwitchesDatabaseAndUnknownOneIs911) {
  Connected c("master");
  ASSERT_TRUE(c.login.ok);
  ASSERT_TRUE(c.client.run("use sessions").ok);
  EXPECT_EQ(c.client.value("select db_name()"), "sessions");
  Outcome out = c.client.run("use [no such]");
  EXPECT_TRUE(out.has(911)) << out.message;
  EXPECT_EQ(c.client.value("select db_name()"), "sessions");
}

TEST_F(SessionTest, SessionStatementsAndSeveralStatementsInOneBatch) {
  Connected c("sessions");
  ASSERT_TRUE(c.login.ok);
  for (const char* sql : {"SET TEXTSIZE 2147483647", "SET ANSI_NULLS ON; SET QUOTED_IDENTIFIER ON",
                          "SET TRANSACTION ISOLATION LEVEL READ COMMITTED",
                          "IF @@TRANCOUNT > 0 COMMIT", "select @@version", "select @@spid"})
    EXPECT_TRUE(c.client.run(sql).ok) << sql;
  Outcome out = c.client.run(
      "insert into Counter(who, note) values(-1, N'batch'); select note from Counter where who = -1");
  ASSERT_TRUE(out.ok) << out.message;
}

TEST_F(SessionTest, TransactionRollbackTakesBackInserts) {
  Connected c("sessions");
  ASSERT_TRUE(c.login.ok);
  ASSERT_TRUE(c.client.run("begin tran").ok);
  ASSERT_TRUE(c.client.run("insert into Counter(who) values(-7)").ok);
  EXPECT_EQ(c.client.value("select @@trancount"), "1");
  ASSERT_TRUE(c.client.run("rollback").ok);
  EXPECT_EQ(c.client.value("select count(*) from Counter where who = -7"), "0");
  EXPECT_TRUE(c.client.run("commit").has(3902));
}

TEST_F(SessionTest, SeveralClientsInsertAtOnceWithDistinctIdentities) {
  const int clients = 4, rows = 150;
  std::vector<std::thread> threads;
  std::vector<int> failures(clients, 0);
  for (int k = 0; k < clients; ++k)
    threads.emplace_back([k, &failures] {
      Connected c("sessions");
      if (!c.login.ok) {
        failures[k] = rows;
        return;
      }
      for (int i = 0; i < rows; ++i)
        if (!c.client.run("insert into Counter(who, note) values(" + std::to_string(100 + k) +
                          ", N'并发')")
                 .ok)
          ++failures[k];
    });
  for (auto& t : threads) t.join();
  for (int k = 0; k < clients; ++k) EXPECT_EQ(failures[k], 0) << "client " << k;
  Connected check("sessions");
  Outcome ids = check.client.run("select id from Counter where who >= 100");
  ASSERT_TRUE(ids.ok);
  std::set<std::string> distinct;
  for (const Row& r : ids.rows) distinct.insert(*r[0]);
  EXPECT_EQ(ids.rows.size(), static_cast<size_t>(clients * rows));
  EXPECT_EQ(distinct.size(), static_cast<size_t>(clients * rows));
}

TEST(StandinStop, SigtermEndsTheServerWhileAClientIsConnected) {
  StandinProcess own;
  OdbcClient client;
  ASSERT_TRUE(client.connect(own.connection_string("")).ok);
  int status = own.stop();
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_FALSE(client.run("select 1").ok);
}

}  // namespace
