// The log window fills its list with thousands of records at once, with
// drawing suspended; how long that takes, shown and hidden.
#include "Bench.h"
#include "ui/toolkit/Form.h"
#include "ui/toolkit/ListView.h"
#include <string>

namespace {

class ListForm : public tk::Form {
public:
    tk::ListView LV{this};
    ListForm()
    {
        SetClientSize(679, 445);
        LV.SetAlign(tk::Align::Client);
        LV.SetRowSelect(true);
        for (const wchar_t* caption : {L"Category", L"Time", L"Target", L"Text"})
            LV.AddColumn(caption, 120);
    }
};

double FillSeconds(ListForm& form, int rows)
{
    double start = Seconds();
    form.LV.BeginUpdate();
    form.LV.Clear();
    for (int row = 0; row < rows; ++row) {
        int index = form.LV.AddItem(L"Info");
        form.LV.SetSubItem(index, 1, L"08:02:40");
        form.LV.SetSubItem(index, 2, L"C:\\Users\\Public\\Documents\\file" + std::to_wstring(row) + L".txt");
        form.LV.SetSubItem(index, 3, L"File wiped");
    }
    form.LV.EndUpdate();
    form.LV.SetSelected(rows - 1, true);
    form.LV.MakeVisible(rows - 1);
    UpdateWindow(form.LV.Handle());
    return Seconds() - start;
}

}  // namespace

VARNOX_BENCHMARK(ToolkitListFill)
{
    ListForm form;
    form.Show();
    Report("toolkit_listview_fill_10000_rows_ms", FillSeconds(form, 10000) * 1000.0);
    form.Hide();
    Report("toolkit_listview_fill_10000_rows_hidden_ms", FillSeconds(form, 10000) * 1000.0);
}
