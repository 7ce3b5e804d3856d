// Renders every screen of the program to PNG on Qt's offscreen platform, filled with the sample
// installation's settings, for a look at the forms as an operator sees them.
//
//   plwan40-screenshots OUTPUT_FOLDER

#include "app/Clock.h"
#include "app/Environment.h"
#include "app/OutputItemList.h"
#include "app/Prompter.h"
#include "db/Database.h"
#include "db/MasterBrowse.h"
#include "db/MasterBrowser.h"
#include "db/Sub_TBLBRSM4.h"
#include "db/Sub_TBLBRSM6.h"
#include "screens/DistributionWindow.h"
#include "screens/ExtractionWaitWindow.h"
#include "screens/FRM_HDCOPY.h"
#include "screens/FRM_PLWAN401.h"
#include "screens/FRM_PLWAN402.h"
#include "screens/FRM_PLWAN403.h"
#include "screens/FRM_PLWAN404.h"
#include "screens/Frm_excel2jyu.h"
#include "screens/Frm_excelRun.h"
#include "screens/GroupMatrixWidget.h"
#include "screens/HardCopyPrinter.h"
#include "screens/MasterBrowserForm.h"
#include "screens/QtSaveFileDialog.h"
#include "settings/SampleParameters.h"
#include "tools/sample/SampleInstallation.h"
#include "tools/screenshots/ConditionScreenshots.h"

#include <QApplication>
#include <QDir>
#include <QFont>
#include <QPixmap>
#include <QPrinter>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QWidget>

#include <cmath>
#include <cstdio>
#include <functional>

namespace {

using namespace plw;

// Nothing in a screenshot asks the operator anything.
class SilentPrompter final : public Prompter {
public:
    MessageAnswer show(const QString&, MessageIcon, MessageButtons) override {
        return MessageAnswer::No;
    }
};

// Two printers, so that the printer panel has a list to show.
class ShownPrinters final : public HardCopyPrinter {
public:
    QStringList printerNames() const override {
        return {QStringLiteral("事務所のプリンタ"), QStringLiteral("倉庫のプリンタ")};
    }
    QString currentPrinter() const override { return printerNames().front(); }
    bool setCurrentPrinter(const QString&) override { return true; }
    std::unique_ptr<QPrinter> openPrinter() override { return nullptr; }
};

bool Save(QWidget& widget, const QDir& folder, const QString& name) {
    // The size the window's layout asks for, even beyond the small offscreen display.
    if (widget.sizeHint().isValid())
        widget.resize(widget.sizeHint());
    widget.show();
    QApplication::processEvents();
    const QString path = folder.filePath(name + QStringLiteral(".png"));
    const bool saved = widget.grab().save(path);
    std::fprintf(saved ? stdout : stderr, "%s %s\n", saved ? "wrote" : "cannot write",
                 path.toUtf8().constData());
    widget.hide();
    return saved;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QApplication::setFont(QFont(QStringLiteral("IPAPGothic"), 9));
    if (argc != 2) {
        std::fprintf(stderr, "usage: plwan40-screenshots OUTPUT_FOLDER\n");
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    if (!QDir().mkpath(folder.path())) {
        std::fprintf(stderr, "cannot create %s\n", argv[1]);
        return 1;
    }
    SilentPrompter prompter;
    bool ok = true;

    CancelToken cancel;
    Frm_excelRun progress(prompter, cancel);
    progress.open();
    progress.showStep(QStringLiteral("RFM付き顧客一覧"));
    progress.setCounterVisible(true);
    progress.showCount(QStringLiteral("12,000/35,000"));
    progress.showPercent(34);
    ok = Save(progress, folder, QStringLiteral("Frm_excelRun")) && ok;

    Frm_excel2jyu running;
    ok = Save(running, folder, QStringLiteral("Frm_excel2jyu")) && ok;
    running.showWaiting(QStringLiteral("/home/shop/RFM分析結果.xls"));
    ok = Save(running, folder, QStringLiteral("Frm_excel2jyu-waiting")) && ok;

    ExtractionWaitWindow wait;
    wait.open(QStringLiteral("抽出中"), QStringLiteral("抽出中です。しばらくお待ちください。"));
    wait.setStep(QStringLiteral("Step  3"));
    ok = Save(wait, folder, QStringLiteral("ExtractionWaitWindow")) && ok;

    for (const auto& [arrangement, name] :
         {std::pair{GroupMatrixWidget::Arrangement::R, QStringLiteral("GroupMatrix-R")},
          std::pair{GroupMatrixWidget::Arrangement::F, QStringLiteral("GroupMatrix-F")},
          std::pair{GroupMatrixWidget::Arrangement::M, QStringLiteral("GroupMatrix-M")}}) {
        GroupMatrixWidget matrix(arrangement);
        matrix.setGroupMatrix(SampleGroupMatrix());
        ok = Save(matrix, folder, name) && ok;
    }
    // The parameter screen as the sample installation opens it.
    Environment environment;
    const FixedClock clock(QDateTime(QDate(2026, 12, 10), QTime(9, 0)));
    ParameterScreenState parameters;
    parameters.LastVisitFrom = QStringLiteral("20241201");
    parameters.LastVisitTo = QStringLiteral("20261130");
    parameters.LastVisitMonths = QStringLiteral("24");
    parameters.BaseDate = QStringLiteral("20261130");
    const SampleThresholdSet thresholds = SampleThresholds();
    parameters.RThreshold = thresholds.R;
    parameters.FThreshold = thresholds.F;
    parameters.MThreshold = thresholds.M;
    parameters.GroupMatrix = SampleGroupMatrix();
    parameters.PaintGroup = 1;
    parameters.ConditionSummary = {
        QStringLiteral("ポイント情報  最終来店日  指定（かつ）  2024/12/01～2026/11/30")};
    FRM_PLWAN401 parameterScreen(environment, prompter, clock);
    parameterScreen.loadState(parameters);
    ok = Save(parameterScreen, folder, QStringLiteral("FRM_PLWAN401")) && ok;

    FRM_PLWAN402 viewpoints(environment, prompter, parameters);
    viewpoints.open();
    ok = Save(viewpoints, folder, QStringLiteral("FRM_PLWAN402")) && ok;
    FRM_PLWAN404 thresholdScreen(environment, prompter, parameters);
    thresholdScreen.open();
    ok = Save(thresholdScreen, folder, QStringLiteral("FRM_PLWAN404")) && ok;

    // The window "分布と閾値" on five thousand made-up customers: many recent, most with few
    // visits and small amounts.
    RankedValues figures;
    QRandomGenerator random(11);
    for (int i = 0; i < 5000; ++i) {
        RankFigures customer;
        customer.Days = qint64(std::pow(random.generateDouble(), 2) * 700);
        customer.Visits = 1 + qint64(std::pow(random.generateDouble(), 3) * 60);
        customer.Units = qint64(std::pow(random.generateDouble(), 4) * 300);
        figures.add(customer, customer.Units * 10000 + random.bounded(10000));
    }
    DistributionWindow distribution(environment, prompter, parameters);
    distribution.open(RankDistribution(std::move(figures)));
    ok = Save(distribution, folder, QStringLiteral("DistributionWindow")) && ok;

    OutputScreenState output;
    output.OutParameters = output.OutGroupValues = output.OutCustomerList = true;
    output.OutRCount = output.OutRAmount = true;
    output.WorkbookName = QStringLiteral("/home/shop/RFM分析結果.xls");
    QtSaveFileDialog saveDialog;
    FRM_PLWAN403 outputScreen(
        environment, prompter, output,
        BuildOutputItemList({QStringLiteral("地区"), QStringLiteral("職業"), QStringLiteral("趣味"),
                             QStringLiteral("来店動機")}),
        saveDialog);
    outputScreen.loadState();
    ok = Save(outputScreen, folder, QStringLiteral("FRM_PLWAN403")) && ok;

    ok = SaveConditionScreenshots(prompter,
                                  [&folder](QWidget& window, const QString& name) {
                                      return Save(window, folder, name);
                                  }) &&
         ok;
    // The master browsers on the sample installation's masters: the first page of the direct
    // mails, the second of the mails.
    QTemporaryDir sampleFolder;
    sample::SampleOptions options;
    options.folder = sampleFolder.path();
    QString error;
    sample::SampleSummary summary;
    if (!sample::WriteSampleInstallation(options, &error, &summary)) {
        std::fprintf(stderr, "cannot write the sample: %s\n", error.toUtf8().constData());
        return 1;
    }
    std::unique_ptr<db::Database> master =
        db::Database::open(summary.systemFolder + QStringLiteral("DATA/PLW_MST.MDB"));
    MasterBrowser directMails(*master, DirectMailMaster(), prompter);
    directMails.open(QString());
    MasterBrowserForm directMailForm(directMails,
                                     BrowserCaption(QStringLiteral("ＤＭ設定から取得")));
    ok = Save(directMailForm, folder, QStringLiteral("FRM_TBLBRSM4")) && ok;
    MasterBrowser mails(*master, MailMaster(), prompter);
    mails.open(QString());
    mails.nextPage();
    MasterBrowserForm mailForm(mails, BrowserCaption(QStringLiteral("メール設定から取得")));
    ok = Save(mailForm, folder, QStringLiteral("FRM_TBLBRSM6")) && ok;

    // The hard copy of the parameter screen, and its printer panel.
    parameterScreen.resize(parameterScreen.sizeHint());
    const QImage picture = parameterScreen.grab().toImage();
    ShownPrinters printers;
    FRM_HDCOPY hardCopy(printers, prompter);
    hardCopy.showPicture(picture, QStringLiteral("2026/12/10 09:00:00"));
    ok = Save(hardCopy, folder, QStringLiteral("FRM_HDCOPY")) && ok;
    hardCopy.show();
    hardCopy.showPrinterPanel();
    ok = Save(hardCopy, folder, QStringLiteral("FRM_HDCOPY-printers")) && ok;
    return ok ? 0 : 1;
}
