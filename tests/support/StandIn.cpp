#include <winsock2.h>
#include "support/StandIn.h"
#include "destination/ConnectionString.h"
#include "destination/DestinationSettings.h"
#include "framework/AdoConnection.h"
#include "framework/AdoError.h"
#include <cstdlib>
#include <gtest/gtest.h>


int StandInPort()
{
    const char* port = std::getenv("SM_STANDIN_PORT");
    EXPECT_TRUE(port && *port) << "SM_STANDIN_PORT names no stand-in: start one (scripts/standin start --port N) "
                                  "and set it, or run scripts/test";
    return port ? std::atoi(port) : 0;
}

CString StandInServer(int offset)
{
    CString server;
    server.Format("127.0.0.1,%d", StandInPort() + offset);
    return server;
}

namespace {
bool TryExec(const char* database, const char* sql, CString& error)
{
    try {
        CAdoConnection connection;
        connection.Open(DestinationConnectionString(StandInServer(), database, "sa", kStandInPassword));
        connection.Execute(sql);
        connection.Close();
        return true;
    } catch (const _com_error& e) {
        error = ComErrorDescription(e);
        return false;
    }
}
}

void StandInExec(const char* database, const char* sql)
{
    CString error;
    EXPECT_TRUE(TryExec(database, sql, error)) << sql << "\n" << error.GetString();
}

void StandInRefuse(const char* text)
{
    StandInExec("", CString("-- standin refuse: ") + text);
}

void CreateFreshDatabase(const char* name)
{
    CString drop, create;
    drop.Format("drop database [%s]", name);
    create.Format("create database [%s]", name);
    CString error;
    TryExec("", drop, error);   // fails when it does not exist
    StandInExec("", create);
}

void UseSettings(const char* database, const char* login, const char* password)
{
    DestinationSettings::database = database;
    DestinationSettings::login = login;
    DestinationSettings::password = password;
}

int ClosedPort()
{
    WSADATA wsa;
    ::WSAStartup(MAKEWORD(2, 2), &wsa);
    SOCKET s = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in a = {};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = 0;
    ::bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a);
    int length = sizeof a;
    ::getsockname(s, reinterpret_cast<sockaddr*>(&a), &length);
    ::closesocket(s);
    return ntohs(a.sin_port);
}
