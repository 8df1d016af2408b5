// --log-statements: every batch a client sends is recorded whole and in order, so that a
// benchmark can send the very same statements again.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "odbc_client.h"
#include "standin_process.h"
#include "statement_log.h"

namespace {

std::vector<std::string> read_log(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return standin::read_statement_log(in);
}

std::string temporary_folder() {
  char tmpl[] = "/tmp/standin-test-XXXXXX";
  if (!mkdtemp(tmpl)) throw std::runtime_error("mkdtemp failed");
  return tmpl;
}

// A server recording into statements.log in its data folder, with table T in each database.
struct LoggedStandin {
  explicit LoggedStandin(const std::vector<std::string>& databases)
      : dir(temporary_folder()), log(dir + "/statements.log"), server(dir, {"--log-statements", log}) {
    for (const std::string& db : databases)
      server.run_script(db, "create table T (id int, note nvarchar(100))");
  }
  std::string dir, log;
  StandinProcess server;
};

std::vector<std::string> inserts(const std::vector<std::string>& batches) {
  std::vector<std::string> found;
  for (const std::string& b : batches)
    if (b.rfind("insert", 0) == 0) found.push_back(b);
  return found;
}

TEST(StatementLogTest, RecordsEveryBatchWholeAndInOrder) {
  LoggedStandin logged({"logged"});
  StandinProcess& server = logged.server;

  const std::vector<std::string> sent = {
      "insert into T(id,note) values(1,N'北京市, 海淀区')",
      "insert into T(id,note) values(2,N'two\nlines')",
      "insert into T(id,note) values(3,N'O''Brien')",
  };
  {
    OdbcClient client;
    ASSERT_TRUE(client.connect(server.connection_string("logged")).ok);
    for (const std::string& sql : sent) ASSERT_TRUE(client.run(sql).ok) << sql;
    // A refused batch is recorded too: it is what the client sent.
    EXPECT_FALSE(client.run("insert into Missing values(1)").ok);
  }

  std::vector<std::string> batches = read_log(logged.log);
  std::vector<std::string> expected = sent;
  expected.push_back("insert into Missing values(1)");
  EXPECT_EQ(inserts(batches), expected);
  server.stop();
}

TEST(StatementLogTest, RecordedStatementsReplayedGiveTheSameRows) {
  LoggedStandin logged({"first", "second"});
  StandinProcess& server = logged.server;
  {
    OdbcClient client;
    ASSERT_TRUE(client.connect(server.connection_string("first")).ok);
    ASSERT_TRUE(client.run("insert into T(id,note) values(7,N'张三')").ok);
  }
  std::vector<std::string> recorded = inserts(read_log(logged.log));
  ASSERT_EQ(recorded.size(), 1u);
  OdbcClient replay;
  ASSERT_TRUE(replay.connect(server.connection_string("second")).ok);
  ASSERT_TRUE(replay.run(recorded[0]).ok);
  EXPECT_EQ(replay.value("select note from T where id = 7"), "张三");
  server.stop();
}

TEST(StatementLogTest, UnwritableLogFileStopsTheServerAtStart) {
  const std::string dir = temporary_folder();
  EXPECT_THROW(StandinProcess(dir, {"--log-statements", dir + "/missing/statements.log"}),
               std::runtime_error);
  std::filesystem::remove_all(dir);
}

}  // namespace
