#include "destination/ConnectionString.h"
#include "framework/AdoConnectionString.h"

CString DestinationConnectionString(const char* server, const char* database, const char* login,
                                    const char* password)
{
    CString text;
    text.Format("Provider=SQLOLEDB;Server=%s;DATABASE=%s;UID=%s;PWD=%s", QuoteConnectionValue(server).GetString(),
                QuoteConnectionValue(database).GetString(), QuoteConnectionValue(login).GetString(),
                QuoteConnectionValue(password).GetString());
    return text;
}
