#include "destination/DestinationSettings.h"

namespace DestinationSettings {
CString database;
CString login;
CString password;

void SetDefaults()
{
    database = "";
    login = "sa";
    password = "";
}
}
