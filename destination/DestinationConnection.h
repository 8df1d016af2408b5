// The destination connection: the one process-wide connection reference, and the messages
// with which the destination commands report failures.
#pragma once
#include "framework/AdoConnection.h"
#include "framework/AdoRecordset.h"
#include "framework/String.h"

// Made and opened anew for each listing and each conversion run; released at the end of each
// and, if still held, when the program ends.
extern CConnectionPtr g_pConnection;

constexpr const char kConnectionFailedText[] = "数据库连接失败，请确认数据源是否配置正确\n或者您的本地网络是否连通!\n";
constexpr const char kQueryFailedText[] = "数据库操作异常,终止运行!";
constexpr const char kEnterDatabaseText[] = "请输入目的数据库名称!";
constexpr const char kNoticeCaption[] = "提示:";
constexpr const char kWarnCaption[] = "警告:";

// Whether a file search finds the path (a directory, or a pattern that matches, counts too).
bool FileExists(CString path);

// Makes a new connection in g_pConnection (5-second login, client-side cursors, read
// committed) and opens it; false when any step fails. Reports nothing.
bool ConnectDestination(const char* server);

// Runs a catalogue query into a new recordset; false when it fails (the recordset stays
// closed).
bool OpenCatalogueQuery(CRecordsetPtr& rs, const CString& sql);

// Closes the recordset and the connection if open, and releases the connection.
void CloseAfterListing(CRecordsetPtr& rs);

// The leading decimal digits of a text as a number, 0 when there are none.
int LeadingNumber(const char* text);
