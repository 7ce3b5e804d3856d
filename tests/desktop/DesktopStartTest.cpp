#include "app/QtJapanese.h"

#include <QCalendarWidget>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <gtest/gtest.h>

using namespace plw;

// Qt's own texts are Japanese: the standard buttons, the file dialog and the calendar.
TEST(DesktopStart, StandardDialogsAndTheCalendarSpeakJapanese) {
    QDialogButtonBox box(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Yes |
                         QDialogButtonBox::No | QDialogButtonBox::Save);
    QStringList texts;
    for (QAbstractButton* button : box.buttons())
        texts << button->text().remove(u'&');
    for (const char* expected : {"OK", "キャンセル", "はい", "いいえ", "保存"})
        EXPECT_TRUE(texts.join(u'|').contains(QString::fromUtf8(expected)))
            << expected << " in " << texts.join(u'|').toStdString();

    QFileDialog dialog;
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    QStringList labels;
    for (QLabel* label : dialog.findChildren<QLabel*>())
        labels << label->text();
    EXPECT_TRUE(labels.join(u'|').contains(QStringLiteral("ファイル名")))
        << labels.join(u'|').toStdString();

    EXPECT_EQ(QLocale().monthName(12), QStringLiteral("12月"));
    EXPECT_EQ(QLocale().dayName(1, QLocale::ShortFormat), QStringLiteral("月"));
    QCalendarWidget calendar;
    EXPECT_EQ(calendar.locale().language(), QLocale::Japanese);
}
