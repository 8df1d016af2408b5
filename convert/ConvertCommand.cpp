// The convert command (button 1 or Enter): reads every row of the worksheet, only the mapped
// fields, and inserts each into the destination table, one statement per row. The dialog
// stays open, and the mapping table is left as it was, so the run can be repeated.
#include "app/ConverterDlg.h"
#include "convert/SqlValues.h"
#include "convert/Statements.h"
#include "destination/DestinationConnection.h"
#include "framework/Recordset.h"
#include "source/ExcelDriver.h"
#include "source/WorkbookFields.h"
#include <cstdlib>

namespace {
const char kNotice[] = "提示:";
const char kWarning[] = "警告:";
const char kConverting[] = "正在转换数据...";
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
    text.Format("数据转换中止,已导入%d条记录.", rows);
    SetStatus(text);
}

void CConverterDlg::OnOK()
{
    if (m_listMapping.GetItemCount() == 0) {
        MessageBox("尚未建立字段映射表,不能进行数据转换!", kNotice, MB_OK | MB_ICONINFORMATION);
        return;
    }
    if (!IsMappingComplete()) {
        MessageBox("存在不完整的字段映射,不能进行数据转换!", kNotice, MB_OK | MB_ICONINFORMATION);
        return;
    }
    SetStatus(kConverting);
    CString select = BuildSelectStatement();
    CollectMappedFields();
    CollectMappedColumns();
    CString connect = ExcelConnectString(FindExcelDriver(), m_strExcelPath);

    int rows = 0;
    CDatabase db;
    CRecordset rs(&db);
    try {
        if (!db.Open(nullptr, FALSE, FALSE, connect, TRUE)) {
            MessageBox("打开Excel文件失败!\n\n请检查您的源文件是否有误后再重新操作.", kNotice, MB_OK | MB_ICONINFORMATION);
            ShowStopped(rows);
            return;
        }
        if (!rs.Open(CRecordset::forwardOnly, select, CRecordset::none)) {
            db.Close();
            MessageBox("不能打开指定的[Sheet1]工作表!\n\n请检查您的源文件是否有误后再重新操作.", kNotice, MB_OK | MB_ICONINFORMATION);
            ShowStopped(rows);
            return;
        }
        if (!OpenDestinationConnection()) {
            MessageBox("打开目的SQL-Server数据库失败!", kNotice, MB_OK | MB_ICONINFORMATION);
            ShowStopped(rows);
            return;
        }

        // Quoting the names takes a reserved-word search for each: done once, not per row.
        const CString insertHead = BuildInsertHead(m_strTable, m_astrMappedColumns);
        DWORD lastProgress = ::GetTickCount();
        CStringArray values;
        while (!rs.IsEOF()) {
            values.RemoveAll();
            for (int i = 0; i < m_astrMappedColumns.GetSize(); ++i) {
                int row = GetTypeClass(std::atoi(m_astrMappedTypes[i]));
                if (row == -1) {
                    rs.Close();
                    db.Close();
                    CString text;
                    text.Format("字段%s的数据类型不受支持,数据转换中止!", m_astrMappedColumns[i].GetString());
                    MessageBox(text, kNotice, MB_OK | MB_ICONINFORMATION);
                    ShowStopped(rows);
                    return;
                }
                CString cell;
                rs.GetFieldValue(m_astrMappedFields[i], cell);
                values.Add(FormatSqlValue(row, cell));
            }
            g_pConnection->Execute(BuildInsertStatement(insertHead, values));
            ++rows;
            rs.MoveNext();

            // Show the count now and then, and let the system see the thread is alive;
            // no input is dispatched, so nothing can re-enter this command.
            if (::GetTickCount() - lastProgress >= kProgressInterval) {
                lastProgress = ::GetTickCount();
                CString progress;
                progress.Format("%s%d", kConverting, rows);
                SetStatus(progress);
                MSG msg;
                ::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);
            }
        }
        rs.Close();
        db.Close();
    } catch (const CDBException& e) {
        MessageBox("打开Excel文件时发生异常:" + e.m_strError, kWarning, MB_OK | MB_ICONEXCLAMATION);
        ShowStopped(rows);
        return;
    } catch (const _com_error&) {
        MessageBox("数据库操作异常,终止运行!", kNotice, MB_OK | MB_ICONINFORMATION);
        ShowStopped(rows);
        return;
    }

    if (g_pConnection && g_pConnection->GetState() != adStateClosed) g_pConnection->Close();
    g_pConnection.Release();
    CString done;
    done.Format("数据转换完成,共计导入%d条记录.", rows);
    SetStatus(done);
}
