// The main dialog run modally against the stand-in, with helpers that work its destination
// controls the way a user does: the server field, button 1009 with the settings dialog, the
// table box.
#pragma once
#include "support/DialogSequence.h"
#include "support/StandIn.h"
#include "app/ConverterDlg.h"
#include <gtest/gtest.h>

class ListingFixture : public ::testing::Test {
protected:
    // Creates the databases and tables the listing tests read (once per test program).
    static void SetUpTestSuite();
    void SetUp() override;
    void TearDown() override;

    // Runs the main dialog modally and `body` inside it, with `main` its window.
    void Run(const std::function<void()>& body)
    {
        RunModal(dlg, [&](HWND h) {
            main = h;
            body();
        });
    }
    // Types the server, presses button 1009 and confirms the settings dialog with the three
    // texts; message boxes shown afterwards are read into `boxes` (in order).
    DialogSequenceResult ListTables(const char* server, const char* database, const char* login,
                                    const char* password, std::vector<MessageBoxSeen>* boxes = nullptr);
    // Chooses a table in the table box as a user does (CBN_SELCHANGE).
    DialogSequenceResult SelectTable(const char* table, std::vector<MessageBoxSeen>* boxes = nullptr);

    std::vector<CString> TableBox() const;
    struct ColumnRow {
        CString name, type;
        int image;
    };
    std::vector<ColumnRow> ColumnRows() const;
    std::vector<CString> ColumnTypes() const;
    std::vector<CString> FieldList() const;
    // A mapping row with its type code, and a stale field, as if the user had paired before.
    void AddMappingRow();
    // The workbook fixture as the Windows program sees it.
    static CString FieldsWorkbook();

    // When ListTables confirmed the settings dialog, and when the first message box appeared.
    DWORD confirmedTick = 0;
    DWORD firstBoxTick = 0;

    CWinApp app{"SheetMover"};
    CConverterDlg dlg;
    HWND main = nullptr;
};

constexpr const char kListingDatabase[] = "dstlist";
constexpr const char kQuotingDatabase[] = "my db";
