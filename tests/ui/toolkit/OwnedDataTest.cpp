// Rows and nodes own their data: it is released with the row, the list, the
// window or the form, and rows added before the window exists are kept.
#include "ui/toolkit/Application.h"
#include "ui/toolkit/Form.h"
#include "ui/toolkit/ListView.h"
#include "ui/toolkit/TestDriver.h"
#include "ui/toolkit/TreeView.h"
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

using namespace tk;

namespace {

// Counts the objects of its kind alive.
struct Counted {
    static int alive;
    int value;
    explicit Counted(int value) : value(value) { ++alive; }
    ~Counted() { --alive; }
};
int Counted::alive = 0;

class DataForm : public Form {
public:
    TreeView TV{this};
    ListView LV{this};
    DataForm()
    {
        SetClientSize(400, 300);
        TV.SetAlign(Align::Left);
        TV.SetWidth(120);
        LV.SetAlign(Align::Client);
        LV.AddColumn(L"Name", 100);
        LV.AddColumn(L"Size", 60);
    }
};

void FillRows(ListView& list, int rows)
{
    list.BeginUpdate();
    for (int row = 0; row < rows; ++row)
        list.AddItem(L"row", std::make_unique<Counted>(row));
    list.EndUpdate();
}

}  // namespace

TEST(ToolkitOwnedData, TenThousandRowsAreReleasedOnClearDeleteAndDestruction)
{
    Counted::alive = 0;
    {
        auto form = std::make_unique<DataForm>();
        form->CreateHandle();
        FillRows(form->LV, 10000);
        EXPECT_EQ(Counted::alive, 10000);
        EXPECT_EQ(form->LV.Data<Counted>(9999)->value, 9999);
        form->LV.DeleteItem(0);
        EXPECT_EQ(Counted::alive, 9999);
        EXPECT_EQ(form->LV.Data<Counted>(0)->value, 1);
        form->LV.Clear();
        EXPECT_EQ(Counted::alive, 0);
        FillRows(form->LV, 10000);
        TreeNode root = form->TV.AddChild(nullptr, L"Desktop", std::make_unique<Counted>(-1));
        for (int node = 0; node < 100; ++node)
            form->TV.AddChild(root, L"folder", std::make_unique<Counted>(node));
        form->TV.DeleteNode(form->TV.FirstChild(root));
        EXPECT_EQ(Counted::alive, 10000 + 100);
        form.reset();   // form destroyed with its windows alive
    }
    EXPECT_EQ(Counted::alive, 0);

    // Windows destroyed first (the application's end), objects later.
    {
        DataForm form;
        form.CreateHandle();
        FillRows(form.LV, 500);
        form.TV.AddChild(nullptr, L"Desktop", std::make_unique<Counted>(0));
        form.DestroyHandle();
        EXPECT_EQ(Counted::alive, 0) << "released with the windows";
    }
    EXPECT_EQ(Counted::alive, 0);
}

TEST(ToolkitOwnedData, RowsAddedBeforeTheWindowExistAreShownWhenItIsCreated)
{
    Counted::alive = 0;
    {
        DataForm form;
        EXPECT_EQ(form.LV.AddItem(L"first.txt", std::make_unique<Counted>(7)), 0);
        EXPECT_EQ(form.LV.AddItem(L"second.txt"), 1);
        form.LV.SetSubItem(0, 1, L"1 kB");
        EXPECT_EQ(form.LV.Count(), 2);
        EXPECT_EQ(form.LV.ItemText(0, 1), L"1 kB");
        EXPECT_EQ(form.LV.Data<Counted>(0)->value, 7);
        form.CreateHandle();
        EXPECT_EQ(form.LV.Count(), 2);
        EXPECT_EQ(static_cast<int>(SendMessageW(form.LV.Handle(), LVM_GETITEMCOUNT, 0, 0)), 2);
        EXPECT_EQ(form.LV.ItemText(0), L"first.txt");
        EXPECT_EQ(form.LV.ItemText(0, 1), L"1 kB");
        EXPECT_EQ(form.LV.ItemText(1), L"second.txt");
        EXPECT_EQ(form.LV.Data<Counted>(0)->value, 7);
        EXPECT_EQ(form.LV.Data<Counted>(1), nullptr);
    }
    EXPECT_EQ(Counted::alive, 0);
}

TEST(ToolkitOwnedData, ANodeAddedBeforeTheTreeExistsIsReportedNotDropped)
{
    std::vector<std::wstring> reports;
    Application::Instance().SetUnansweredHandler([&](const std::wstring& what) { reports.push_back(what); });
    Counted::alive = 0;
    DataForm form;
    EXPECT_EQ(form.TV.AddChild(nullptr, L"Desktop", std::make_unique<Counted>(1)), nullptr);
    Application::Instance().SetUnansweredHandler(
        [](const std::wstring& what) { ADD_FAILURE() << "nothing answered: " << what; });
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_NE(reports[0].find(L"Desktop"), std::wstring::npos);
    EXPECT_EQ(Counted::alive, 0) << "the data of the refused node is released";
}

TEST(ToolkitOwnedData, AnOwnerDataListAsksForWhatItShows)
{
    DataForm form;
    form.LV.SetOwnerData(true);
    form.LV.SetItemCount(100000);
    int asked = 0;
    form.LV.OnData = [&](int row, int column, std::wstring& text, int& image) {
        ++asked;
        text = column == 0 ? L"target " + std::to_wstring(row) : std::to_wstring(row * 4) + L" kB";
        image = -1;
    };
    std::vector<std::pair<int, bool>> selections;
    form.LV.OnSelectItem = [&](int row, bool selected) { selections.emplace_back(row, selected); };
    form.Show();
    EXPECT_EQ(form.LV.Count(), 100000);
    EXPECT_EQ(form.LV.ItemText(99999), L"target 99999");
    EXPECT_EQ(form.LV.ItemText(12, 1), L"48 kB");
    EXPECT_GT(asked, 0);
    EXPECT_LT(asked, 1000) << "asked only for what is shown";
    EXPECT_TRUE(ChooseItem(form.LV, 99998));
    EXPECT_EQ(form.LV.SelectedRows(), (std::vector<int>{99998}));
    ASSERT_FALSE(selections.empty());
    EXPECT_EQ(selections.back(), std::make_pair(99998, true));
    form.LV.SetItemCount(3);
    EXPECT_EQ(form.LV.Count(), 3);
    form.Hide();
}
