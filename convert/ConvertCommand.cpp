// The convert command (button 1 or Enter): reads every row of the worksheet, only the mapped
// fields, and inserts each into the destination table, one statement per row. The dialog
// stays open, and the mapping table is left as it was, so the run can be repeated.
#include "app/ConverterDlg.h"
#include "app/Texts.h"
#include "convert/InsertRun.h"
#include "convert/SqlValues.h"
#include "convert/Statements.h"
#include "destination/DestinationConnection.h"
#include "framework/AdoError.h"
#include "source/WorkbookFields.h"
#include <vector>

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
    auto sheet = std::make_shared<CWorksheetRows>();
    try {
        return OpenWorksheet(*sheet, select) && OpenDestinationForRun() && InsertRows(sheet, rows);
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

bool CConverterDlg::InsertRows(const std::shared_ptr<CWorksheetRows>& sheet, int& rows)
{
    // Quoting the names takes a reserved-word search for each: done once, not per row.
    CInsertPlan plan;
    plan.insertHead = BuildInsertHead(m_strTable, m_astrMappedColumns);
    // So are each column's type row and each field's place in the result, both at the first
    // row, column by column, so that an unsupported type or a missing field stops the run
    // where it always did; a worksheet without rows checks neither.
    const int columns = m_astrMappedColumns.GetSize();
    for (int i = 0; i < columns; ++i) plan.typeRows.push_back(GetTypeClass(ParseTypeCode(m_astrMappedTypes[i])));
    if (!sheet->rs.IsEOF()) {
        for (int i = 0; i < columns; ++i) {
            if (plan.typeRows[i] == -1) {
                CString text;
                text.Format(kUnsupportedTypeFormat, m_astrMappedColumns[i].GetString());
                MessageBox(text, kNoticeCaption, MB_OK | MB_ICONINFORMATION);
                return false;
            }
            plan.fieldIndexes.push_back(sheet->rs.GetFieldIndexByName(m_astrMappedFields[i]));
        }
    }

    CInsertRun run(sheet, g_pConnection, std::move(plan));
    run.Start();
    // Show the count now and then, and let the system see the thread is alive; no input is
    // dispatched, so nothing can re-enter this command.
    while (!run.Wait(kProgressInterval)) {
        rows = run.Landed();
        if (run.IsOverdue()) {
            // The run's thread keeps the connection until the driver lets it go; the dialog
            // lets go of it now, and the next run or listing makes a new one.
            run.GiveUp();
            g_pConnection.Release();
            ThrowAdoError(E_FAIL, "The server did not answer within the command timeout; the connection is given up.");
        }
        CString progress;
        progress.Format("%s%d", kConvertingText, rows);
        SetStatus(progress);
        MSG msg;
        ::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);
    }
    rows = run.Landed();
    run.RethrowFailure();
    return true;
}
