// The convert command (button 1 or Enter): reads every row of the worksheet, only the mapped
// fields, and inserts each into the destination table, one statement per row. The dialog
// stays open, and the mapping table is left as it was, so the run can be repeated.
#include "app/ConverterDlg.h"
#include "app/Texts.h"
#include "convert/SqlValues.h"
#include "convert/Statements.h"
#include "destination/DestinationConnection.h"
#include "framework/Recordset.h"
#include "source/WorkbookFields.h"
#include <vector>

// The worksheet a run reads: the workbook's database and the recordset of the select, owned
// together and closed once, the recordset first, however the run ends.
struct CWorksheetRows {
    CDatabase db;
    CRecordset rs{&db};
};

namespace {
// How often the status line shows the count while rows go in.
constexpr DWORD kProgressInterval = 250;
}

void CConverterDlg::CollectMappedFields()
{
    m_astrMappedFields.RemoveAll();
    for (int i = 0, n = m_listMapping.GetItemCount(); i < n; ++i) m_astrMappedFields.Add(m_listMapping.GetItemText(i, 0));
}

void CConverterDlg::CollectMappedColumns()
{
    m_astrMappedColumns.RemoveAll();
    for (int i = 0, n = m_listMapping.GetItemCount(); i < n; ++i) m_astrMappedColumns.Add(m_listMapping.GetItemText(i, 1));
}

CString CConverterDlg::BuildSelectStatement()
{
    CStringArray fields;
    for (int i = 0, n = m_listMapping.GetItemCount(); i < n; ++i) fields.Add(m_listMapping.GetItemText(i, 0));
    return ::BuildSelectStatement(fields);
}

void CConverterDlg::SetStatus(const char* text)
{
    m_labelStatus.SetText(text);
    m_labelStatus.UpdateWindow();
}

void CConverterDlg::ShowStopped(int rows)
{
    CString text;
    text.Format(kStoppedFormat, rows);
    SetStatus(text);
}

void CConverterDlg::OnOK()
{
    if (m_listMapping.GetItemCount() == 0) {
        MessageBox(kNoMappingText, kNoticeCaption, MB_OK | MB_ICONINFORMATION);
        return;
    }
    if (!IsMappingComplete()) {
        MessageBox(kMappingIncompleteText, kNoticeCaption, MB_OK | MB_ICONINFORMATION);
        return;
    }
    SetStatus(kConvertingText);
    int rows = 0;
    if (!ConvertRows(rows)) {
        ShowStopped(rows);
        return;
    }
    if (g_pConnection && g_pConnection->GetState() != adStateClosed) g_pConnection->Close();
    g_pConnection.Release();
    CString done;
    done.Format(kDoneFormat, rows);
    SetStatus(done);
}

bool CConverterDlg::ConvertRows(int& rows)
{
    const CString select = BuildSelectStatement();
    CollectMappedFields();
    CollectMappedColumns();
    CWorksheetRows sheet;
    try {
        return OpenWorksheet(sheet, select) && OpenDestinationForRun() && InsertRows(sheet, rows);
    } catch (const CDBException& e) {
        MessageBox(kWorkbookExceptionText + e.m_strError, kWarningCaption, MB_OK | MB_ICONEXCLAMATION);
    } catch (const _com_error&) {
        MessageBox(kQueryFailedText, kNoticeCaption, MB_OK | MB_ICONINFORMATION);
    }
    return false;
}

bool CConverterDlg::OpenWorksheet(CWorksheetRows& sheet, const CString& select)
{
    CString connect = WorkbookConnectString(m_strExcelPath);
    if (!sheet.db.Open(nullptr, FALSE, FALSE, connect, TRUE)) {
        MessageBox(kWorkbookOpenFailedText, kNoticeCaption, MB_OK | MB_ICONINFORMATION);
        return false;
    }
    if (!sheet.rs.Open(CRecordset::forwardOnly, select, CRecordset::none)) {
        MessageBox(kSheetOpenFailedText, kNoticeCaption, MB_OK | MB_ICONINFORMATION);
        return false;
    }
    return true;
}

bool CConverterDlg::OpenDestinationForRun()
{
    if (OpenDestinationConnection()) return true;
    MessageBox(kDestinationOpenFailedText, kNoticeCaption, MB_OK | MB_ICONINFORMATION);
    return false;
}

bool CConverterDlg::InsertRows(CWorksheetRows& sheet, int& rows)
{
    // Quoting the names takes a reserved-word search for each: done once, not per row.
    const CString insertHead = BuildInsertHead(m_strTable, m_astrMappedColumns);
    // So are each column's type row and each field's place in the result (the place found at
    // the first row that reads it, so a missing field fails where it always did).
    const int columns = m_astrMappedColumns.GetSize();
    std::vector<int> typeRows(static_cast<size_t>(columns));
    for (int i = 0; i < columns; ++i) typeRows[i] = GetTypeClass(ParseTypeCode(m_astrMappedTypes[i]));
    std::vector<short> fieldIndexes(static_cast<size_t>(columns), -1);
    DWORD lastProgress = ::GetTickCount();
    CStringArray values;
    while (!sheet.rs.IsEOF()) {
        values.RemoveAll();
        for (int i = 0; i < columns; ++i) {
            int row = typeRows[i];
            if (row == -1) {
                CString text;
                text.Format(kUnsupportedTypeFormat, m_astrMappedColumns[i].GetString());
                MessageBox(text, kNoticeCaption, MB_OK | MB_ICONINFORMATION);
                return false;
            }
            if (fieldIndexes[i] < 0) fieldIndexes[i] = sheet.rs.GetFieldIndexByName(m_astrMappedFields[i]);
            CString cell;
            sheet.rs.GetFieldValue(fieldIndexes[i], cell);
            values.Add(FormatSqlValue(row, cell));
        }
        g_pConnection->Execute(BuildInsertStatement(insertHead, values));
        ++rows;
        sheet.rs.MoveNext();

        // Show the count now and then, and let the system see the thread is alive;
        // no input is dispatched, so nothing can re-enter this command.
        if (::GetTickCount() - lastProgress >= kProgressInterval) {
            lastProgress = ::GetTickCount();
            CString progress;
            progress.Format("%s%d", kConvertingText, rows);
            SetStatus(progress);
            MSG msg;
            ::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);
        }
    }
    return true;
}
