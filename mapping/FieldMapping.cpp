// The field mapping table: pairs of an Excel field and a destination column, built from the
// two source lists by double clicks or the create button, and given back by removing a row.
// A field or column is in its list or in the table, never both; only the last row may lack
// one side; m_astrMappedTypes holds the type code of every row that has a column, and
// m_astrColumnTypes that of every column-list row.
#include "app/ConverterDlg.h"
#include "app/Texts.h"
#include "source/WorkbookFields.h"

namespace {
constexpr int kMappingImage = 0;
constexpr int kColumnImage = 1;
}

bool CConverterDlg::IsMappingComplete() const
{
    for (int i = 0, n = m_listMapping.GetItemCount(); i < n; ++i)
        if (m_listMapping.GetItemText(i, 0).IsEmpty() || m_listMapping.GetItemText(i, 1).IsEmpty()) return false;
    return true;
}

int CConverterDlg::LastMappingRow() const
{
    int n = m_listMapping.GetItemCount();
    return n > 0 ? n - 1 : 0;
}

// A kept selection index that no longer names an item (its list was refilled or shortened)
// counts as no selection.
int CConverterDlg::ValidFieldSel() const
{
    return m_nFieldSel >= 0 && m_nFieldSel < m_listFields.GetCount() ? m_nFieldSel : -1;
}

int CConverterDlg::ValidColumnSel() const
{
    return m_nColumnSel >= 0 && m_nColumnSel < m_listColumns.GetItemCount() && m_nColumnSel < m_astrColumnTypes.GetSize()
               ? m_nColumnSel : -1;
}

CString CConverterDlg::TakeField(int index)
{
    CString name;
    m_listFields.GetText(index, name);
    m_listFields.RemoveItem(index);
    m_nFieldSel = -1;
    m_nFieldMarked = -1;
    return name;
}

void CConverterDlg::TakeColumn(int index, CString& name, CString& typeName)
{
    name = m_listColumns.GetItemText(index, 0);
    typeName = m_listColumns.GetItemText(index, 1);
    m_astrMappedTypes.Add(m_astrColumnTypes[index]);
    m_astrColumnTypes.RemoveAt(index);
    m_listColumns.DeleteItem(index);
    m_nColumnSel = -1;
}

void CConverterDlg::OnItemchangedColumnList(NMHDR*, LRESULT*)
{
    int sel = m_listColumns.GetNextItem(-1, LVNI_SELECTED);
    if (sel != -1) m_nColumnSel = sel;
}

void CConverterDlg::OnItemchangedMappingList(NMHDR*, LRESULT*)
{
    int sel = m_listMapping.GetNextItem(-1, LVNI_SELECTED);
    if (sel != -1) m_nMappingSel = sel;
}

void CConverterDlg::OnCreateMapping()
{
    int field = ValidFieldSel();
    int column = ValidColumnSel();
    if (field == -1 || column == -1) return;
    if (!IsMappingComplete()) {
        MessageBox(kMappingIncompleteForNewText, kNoticeCaption, MB_OK | MB_ICONINFORMATION);
        return;
    }
    int row = m_listMapping.GetItemCount();
    m_listMapping.InsertItem(row, TakeField(field), kMappingImage);
    CString name, typeName;
    TakeColumn(column, name, typeName);
    m_listMapping.SetItemText(row, 1, name);
    m_listMapping.SetItemText(row, 2, typeName);
}

void CConverterDlg::OnDblclkFieldList()
{
    int field = ValidFieldSel();
    if (field == -1) return;
    int last = LastMappingRow();
    CString excel = m_listMapping.GetItemText(last, 0);
    CString sql = m_listMapping.GetItemText(last, 1);
    if (!excel.IsEmpty() && sql.IsEmpty()) {
        CString text;
        text.Format(kFieldUnpairedFormat, excel.GetString());
        MessageBox(text, kWarningCaption, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    CString name = TakeField(field);
    if (excel.IsEmpty() && !sql.IsEmpty())
        m_listMapping.SetItemText(last, 0, name);   // the last row waited for an Excel field
    else
        m_listMapping.InsertItem(m_listMapping.GetItemCount(), name, kMappingImage);
}

void CConverterDlg::OnDblclkColumnList(NMHDR*, LRESULT*)
{
    int column = ValidColumnSel();
    if (column == -1) return;
    int last = LastMappingRow();
    CString sql = m_listMapping.GetItemText(last, 1);
    CString excel = m_listMapping.GetItemText(last, 0);
    if (!sql.IsEmpty() && excel.IsEmpty()) {
        CString text;
        text.Format(kColumnUnpairedFormat, sql.GetString());
        MessageBox(text, kWarningCaption, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    CString name, typeName;
    TakeColumn(column, name, typeName);
    int row = last;
    if (!(sql.IsEmpty() && !excel.IsEmpty())) {
        row = m_listMapping.GetItemCount();
        m_listMapping.InsertItem(row, "", kMappingImage);
    }
    m_listMapping.SetItemText(row, 1, name);
    m_listMapping.SetItemText(row, 2, typeName);
}

void CConverterDlg::OnRemoveMapping()
{
    int row = m_nMappingSel;
    if (row < 0 || row >= m_listMapping.GetItemCount()) return;
    CString excel = m_listMapping.GetItemText(row, 0);
    CString sql = m_listMapping.GetItemText(row, 1);
    if (!excel.IsEmpty())
        m_listFields.InsertItem(excel, m_listFields.GetCount(), kFieldBackColor, kFieldTextColor, 0, DT_VCENTER);
    if (!sql.IsEmpty() && row < m_astrMappedTypes.GetSize()) {
        int at = m_listColumns.GetItemCount();
        m_listColumns.InsertItem(at, sql, kColumnImage);
        m_listColumns.SetItemText(at, 1, m_listMapping.GetItemText(row, 2));
        m_astrColumnTypes.Add(m_astrMappedTypes[row]);
        m_astrMappedTypes.RemoveAt(row);
    }
    m_listMapping.DeleteItem(row);
    m_nMappingSel = -1;
}

void CConverterDlg::OnDblclkMappingList(NMHDR*, LRESULT*)
{
    if (m_listMapping.GetNextItem(-1, LVNI_SELECTED) != -1 && m_nMappingSel != -1) OnRemoveMapping();
}
