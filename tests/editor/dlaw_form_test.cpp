// The law dialog: corrections on a change of kind, the field checks, the
// check on OK and the permission for a zero service time.
#include "editor/dlaw_form.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include "editor/law_editor.h"
#include "modal_runner.h"
#include "recording_services.h"

namespace marvolt {
namespace {

class DLawFormTest : public ::testing::Test {
  protected:
    DLawFormTest() : form(messages) {}

    // Edits the law in the dialog; action runs while it is open.
    bool Edit(LawRecord& law, bool serviceTime, std::function<void(TDLawForm&)> action) {
        return test::RunModal<TDLawForm>([&] { return form.EditLaw(law, serviceTime); },
                                         std::move(action));
    }
    static void ChooseKind(TDLawForm& f, int kind) {
        f.DLawGroupBox->ComboBox1->setCurrentIndex(kind);
        emit f.DLawGroupBox->ComboBox1->activated(kind);
    }
    static void Type(QLineEdit* edit, const QString& text) {
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, text);
    }

    test::RecordingMessages messages;
    TDLawForm form;
};

TEST_F(DLawFormTest, SwitchingKindsShowsCorrectedParameters) {
    LawRecord law{kLawUniform, 1.0f, 3.0f};
    QString mean, deviation, symbol, left, right;
    Edit(law, false, [&](TDLawForm& f) {
        ChooseKind(f, kLawNormal);
        mean = f.DLawGroupBox->Edit1->text();
        deviation = f.DLawGroupBox->Edit2->text();
        symbol = f.DLawGroupBox->Label2v->text();
        f.dialogLaw() = {kLawNormal, 2.0f, 0.5f};
        f.RefreshLaw();
        ChooseKind(f, kLawUniform);
        left = f.DLawGroupBox->Edit1->text();
        right = f.DLawGroupBox->Edit2->text();
        f.BitBtn1->click();
    });
    EXPECT_EQ(mean, QStringLiteral("1"));
    EXPECT_EQ(deviation, QStringLiteral("3"));
    EXPECT_EQ(symbol, QStringLiteral("σ ="));
    EXPECT_EQ(left, QStringLiteral("2"));
    EXPECT_EQ(right, QStringLiteral("3"));
    EXPECT_EQ(law, (LawRecord{kLawUniform, 2.0f, 3.0f}));
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(DLawFormTest, SecondFieldIsOffForOneParameterLaws) {
    LawRecord law{kLawExponential, 0.5f, 0.0f};
    bool enabled = true;
    Edit(law, false, [&](TDLawForm& f) {
        enabled = f.DLawGroupBox->Edit2->isEnabled();
        f.BitBtn2->click();
    });
    EXPECT_FALSE(enabled);
}

TEST_F(DLawFormTest, ConstantZeroIsRefusedForAnIntervalLaw) {
    LawRecord law{kLawDeterministic, 2.0f, 0.0f};
    bool stayedOpen = false;
    const bool ok = Edit(law, false, [&](TDLawForm& f) {
        Type(f.DLawGroupBox->Edit1, QStringLiteral("0"));
        f.BitBtn1->click();
        stayedOpen = f.isVisible();
        f.BitBtn2->click();
    });
    EXPECT_FALSE(ok);
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(law.param1, 2.0f);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].caption, kCaptionWarning);
    EXPECT_EQ(messages.shown[0].text,
              QStringLiteral("Введено некорректное значение.\nПравильным значением является "
                             "любое положительное число."));
}

TEST_F(DLawFormTest, ConstantZeroPassesForAServiceLawEvenAfterARefusedOk) {
    LawRecord law{kLawUniform, 5.0f, 5.0f};
    bool stayedOpen = false;
    const bool ok = Edit(law, true, [&](TDLawForm& f) {
        // [5, 5] cannot be corrected away on showing: the bounds are edited later.
        f.dialogLaw() = {kLawUniform, 5.0f, 5.0f};
        f.BitBtn1->click();
        stayedOpen = f.isVisible();
        ChooseKind(f, kLawDeterministic);
        Type(f.DLawGroupBox->Edit1, QStringLiteral("0"));
        f.BitBtn1->click();
    });
    EXPECT_TRUE(stayedOpen);
    EXPECT_TRUE(ok);
    EXPECT_EQ(law, (LawRecord{kLawDeterministic, 0.0f, 5.0f}));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_TRUE(messages.shown[0].text.contains(QStringLiteral("правая граница")));
    // The permission belongs to one showing only.
    EXPECT_FALSE(form.allowZeroConstant());
}

TEST_F(DLawFormTest, UniformFiveFiveKeepsTheDialogOpenAndCancelCloses) {
    LawRecord law{kLawUniform, 1.0f, 6.0f};
    bool stayedOpen = false;
    const bool ok = Edit(law, false, [&](TDLawForm& f) {
        Type(f.DLawGroupBox->Edit1, QStringLiteral("5"));
        Type(f.DLawGroupBox->Edit2, QStringLiteral("5"));
        f.BitBtn1->click();
        stayedOpen = f.isVisible();
        f.BitBtn2->click();
    });
    EXPECT_TRUE(stayedOpen);
    EXPECT_FALSE(ok);
    EXPECT_EQ(law, (LawRecord{kLawUniform, 1.0f, 6.0f}));
    EXPECT_EQ(messages.shown.size(), 1u);
}

TEST_F(DLawFormTest, SwitchToAZeroConstantIsRefusedOnOk) {
    LawRecord law{kLawUniform, 0.0f, 3.0f};
    const bool ok = Edit(law, false, [&](TDLawForm& f) {
        ChooseKind(f, kLawDeterministic);
        f.BitBtn1->click();
    });
    EXPECT_FALSE(ok);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_TRUE(messages.shown[0].text.contains(QStringLiteral("положительное")));
}

TEST_F(DLawFormTest, LettersWarnWhenTheFieldIsLeft) {
    LawRecord law{kLawNormal, 1.0f, 1.0f};
    bool backInField = false;
    QString kept;
    Edit(law, false, [&](TDLawForm& f) {
        Type(f.DLawGroupBox->Edit1, QStringLiteral("abc"));
        f.DLawGroupBox->Edit2->setFocus(Qt::TabFocusReason);
        QTest::qWait(20);
        backInField = QApplication::focusWidget() == f.DLawGroupBox->Edit1;
        kept = f.DLawGroupBox->Edit1->text();
        f.reject();
    });
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text,
              QStringLiteral("Введено некорректное значение.\nПравильным значением является "
                             "любое неотрицательное число."));
    EXPECT_TRUE(backInField);
    EXPECT_EQ(kept, QStringLiteral("abc"));
    EXPECT_EQ(law.param1, 1.0f);
}

TEST_F(DLawFormTest, CancelEscapeAndCloseNeverJudgeAField) {
    LawRecord law{kLawNormal, 1.0f, 1.0f};
    for (int way = 0; way < 3; ++way) {
        const bool ok = Edit(law, false, [&](TDLawForm& f) {
            Type(f.DLawGroupBox->Edit1, QStringLiteral("-4"));
            if (way == 0) {
                QTest::mouseClick(f.BitBtn2, Qt::LeftButton);
            } else if (way == 1) {
                QTest::keyClick(f.DLawGroupBox->Edit1, Qt::Key_Escape);
            } else {
                f.close();
            }
            QTest::qWait(20);
        });
        EXPECT_FALSE(ok) << way;
        EXPECT_FALSE(form.isVisible()) << way;
    }
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(DLawFormTest, UntouchedValuesKeepTheirStoredPrecision) {
    LawRecord law{kLawUniform, 1234.5f, 1234.6f};
    QString shown;
    const bool ok = Edit(law, false, [&](TDLawForm& f) {
        shown = f.DLawGroupBox->Edit1->text();
        f.DLawGroupBox->Edit1->setFocus();
        f.DLawGroupBox->Edit2->setFocus();
        f.BitBtn1->click();
    });
    EXPECT_TRUE(ok);
    EXPECT_EQ(shown, QStringLiteral("1235"));
    EXPECT_EQ(law, (LawRecord{kLawUniform, 1234.5f, 1234.6f}));
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(DLawFormTest, FitLawTakesTheSampleForTheCurrentKind) {
    CFDistribution sample;
    sample.lowerBound = 2.0f;
    sample.upperBound = 10.0f;
    ASSERT_TRUE(sample.ResetBins());
    sample.AddValue(3.0f);
    form.dialogLaw() = {kLawUniform, 0.0f, 1.0f};
    form.FitLaw(sample);
    EXPECT_EQ(form.dialogLaw(), (LawRecord{kLawUniform, 2.0f, 10.0f}));
    EXPECT_EQ(form.DLawGroupBox->Edit2->text(), QStringLiteral("10"));
    EXPECT_TRUE(form.DLawGroupBox->AutoParamsButton->isHidden());
}

}  // namespace
}  // namespace marvolt
