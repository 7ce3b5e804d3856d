#include "screens/MasterBrowserForm.h"

#include "db/BaseTables.h"
#include "db/Database.h"
#include "db/MasterBrowser.h"
#include "db/Sub_TBLBRSM4.h"
#include "tests/support/MasterBrowsing.h"
#include "tests/support/Printers.h"
#include "tests/support/ScriptedPrompter.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace plw;

namespace {

// The direct-mail browser's window over twenty campaigns, shown and active.
class MasterBrowserWindow : public ::testing::Test {
protected:
    void SetUp() override {
        mMaster = db::Database::create(mDir.filePath(QStringLiteral("PLW_MST.MDB")));
        db::CreateMasterBaseTables(*mMaster);
        test::InsertCampaigns(*mMaster, db::DirectMailMasterTable, 20);
        mBrowser = std::make_unique<MasterBrowser>(*mMaster, DirectMailMaster(), mPrompter);
        ASSERT_EQ(mBrowser->open(QString()), MasterBrowser::Read::Listed);
        mWindow = std::make_unique<MasterBrowserForm>(
            *mBrowser, QStringLiteral("TBLBRST1  一覧からの選択  先頭から　ＤＭ"));
        form().show();
        form().activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&form()));
    }

    QListWidget* list() { return form().findChild<QListWidget*>(QStringLiteral("lstITIRAN")); }
    QString page() { return form().findChild<QLabel*>(QStringLiteral("lblPage"))->text(); }
    void click(const char16_t* name) {
        QTest::mouseClick(form().findChild<QPushButton*>(QString::fromUtf16(name)), Qt::LeftButton);
    }

    QTemporaryDir mDir;
    std::unique_ptr<db::Database> mMaster;
    test::ScriptedPrompter mPrompter;
    std::unique_ptr<MasterBrowser> mBrowser;
    std::unique_ptr<MasterBrowserForm> mWindow;
    MasterBrowserForm& form() { return *mWindow; }
};

TEST_F(MasterBrowserWindow, PagesWithTheButtonsAndFitsTheDisplay) {
    EXPECT_EQ(form().objectName(), QStringLiteral("FRM_TBLBRSM4"));
    EXPECT_EQ(list()->count(), 16);
    EXPECT_EQ(page(), QStringLiteral("1 頁"));
    click(u"cmdRIGHT");
    EXPECT_EQ(list()->count(), 4);
    EXPECT_EQ(page(), QStringLiteral("2 頁"));
    EXPECT_TRUE(list()->item(0)->text().startsWith(QStringLiteral("0017: 00004")));
    click(u"cmdRIGHT");
    EXPECT_EQ(page(), QStringLiteral("2 頁"));
    click(u"cmdLEFT");
    click(u"cmdLEFT");
    EXPECT_EQ(page(), QStringLiteral("1 頁"));
    EXPECT_EQ(mPrompter.texts(), (QStringList{QStringLiteral("次ページはありません"),
                                              QStringLiteral("前ページはありません")}));
    EXPECT_LE(form().frameGeometry().width(), 1366);
    EXPECT_LE(form().sizeHint().height(), 720 - 40);
}

TEST_F(MasterBrowserWindow, EnterDoubleClickAndTheButtonChooseTheSelectedLine) {
    // Nothing selected yet: Enter says so and the window stays.
    QTest::keyClick(list(), Qt::Key_Return);
    EXPECT_EQ(mPrompter.texts(), QStringList{QStringLiteral("選択されていません")});
    EXPECT_TRUE(form().isVisible());

    QTest::keyClick(list(), Qt::Key_Down);
    QTest::keyClick(list(), Qt::Key_Return);
    EXPECT_EQ(form().chosen(), QStringLiteral("00020"));
    EXPECT_EQ(form().result(), QDialog::Accepted);

    form().show();
    const QRect third = list()->visualItemRect(list()->item(2));
    QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, third.center());
    QTest::mouseDClick(list()->viewport(), Qt::LeftButton, {}, third.center());
    EXPECT_EQ(form().chosen(), QStringLiteral("00018"));

    form().show();
    list()->setCurrentRow(5);
    click(u"cmdSen");
    EXPECT_EQ(form().chosen(), QStringLiteral("00015"));
    EXPECT_EQ(mPrompter.texts().size(), 1);
}

TEST_F(MasterBrowserWindow, EscAndTheCloseButtonChooseNothing) {
    for (const bool key : {true, false}) {
        form().show();
        form().activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&form()));
        if (key)
            QTest::keyClick(list(), Qt::Key_Escape);
        else
            click(u"cmdCAN");
        EXPECT_FALSE(form().isVisible());
        EXPECT_EQ(form().result(), QDialog::Rejected);
        EXPECT_EQ(form().chosen(), std::nullopt);
    }
}

} // namespace
