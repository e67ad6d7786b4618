#include "app/form1.h"
#include "form_fixture.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

using testing_support::FormFixture;

namespace {

class WindowPointerRules : public FormFixture {
protected:
    void SetUp() override
    {
        FormFixture::SetUp();
        StartShown();
    }
    void MoveOver(QWidget* widget) { QTest::mouseMove(widget, widget->rect().center()); }
};

TEST_F(WindowPointerRules, ButtonsShowTheCustomPointerAndTheBackgroundTheDefault)
{
    for (QPushButton* button : {form->PushButton1, form->PushButton2, form->PushButton3, form->PushButton4,
                                form->PushButton8, form->PushButton9}) {
        MoveOver(form->Frame5);
        EXPECT_EQ(form->pointer().value(), 0);
        MoveOver(button);
        EXPECT_EQ(form->pointer().value(), 99) << button->objectName().toStdString();
    }
    MoveOver(form->Text1);
    EXPECT_EQ(form->pointer().value(), 0);
    MoveOver(form->PushButton3);
    MoveOver(form->Frame1);
    EXPECT_EQ(form->pointer().value(), 0);
    EXPECT_EQ(form->cursor().shape(), Qt::ArrowCursor);
}

TEST_F(WindowPointerRules, WithoutACursorFileTheCustomPointerIsAPointingHand)
{
    MoveOver(form->PushButton1);
    EXPECT_EQ(form->cursor().shape(), Qt::PointingHandCursor);
}

TEST_F(WindowPointerRules, TheHourglassStaysWhereverThePointerGoes)
{
    form->pointer().set(11);
    EXPECT_EQ(form->cursor().shape(), Qt::WaitCursor);
    for (QWidget* widget :
         std::initializer_list<QWidget*>{form->PushButton2, form->Frame5, form->Text1, form->ListView1->viewport()}) {
        MoveOver(widget);
        EXPECT_EQ(form->pointer().value(), 11);
    }
    EXPECT_EQ(form->cursor().shape(), Qt::WaitCursor);
}

}  // namespace
