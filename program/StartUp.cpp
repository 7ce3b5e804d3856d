#include "program/StartUp.h"

#include "app/FileSystem.h"
#include "app/OutputItemList.h"
#include "app/Prompter.h"
#include "db/Sub_DataBaseFotDB.h"
#include "program/Session.h"
#include "rfm/PLWAN4_hrhen.h"
#include "settings/OwnSettings.h"
#include "settings/ParameterLoader.h"
#include "settings/ParameterMapping.h"
#include "settings/ParameterSaver.h"

namespace plw {

MaybeEnd PrepareSession(Session& session, MenuCheck menuCheck) {
    if (MaybeEnd end = LoadSystemDescription(session.Env, session.Messages, menuCheck))
        return end;
    if (MaybeEnd end = db::OpenDatabases(session.Env, session.Databases, session.Messages))
        return end;
    session.ClassificationFaults.clear();
    session.Classifications =
        LoadClassifications(session.Env.ClassificationPath, &session.ClassificationFaults);
    session.Conditions = std::make_unique<ConditionModule>(session.Env, session.Classifications,
                                                           session.Messages, session.Time);
    session.Conditions->Run(ConditionModule::Mode::Prepare, ConditionCaller::None,
                            session.SavedConditions);
    QStringList levels;
    for (int level = 1; level <= ClassificationLevels; ++level)
        levels << LevelName(session.Classifications, level);
    session.OutputItems = BuildOutputItemList(levels);
    return std::nullopt;
}

ParameterLoad LoadSessionParameters(Session& session) {
    ParameterLoad load = LoadParameters(session.Env, session.OutputItems, session.Parameters,
                                        session.ParameterScreen, session.OutputScreen,
                                        session.SavedConditions, *session.Conditions);
    load.Own = ReadOwnSettings(session.Env.OwnSettingsPath, session.OutputScreen);
    return load;
}

void ReportDamagedSettings(Session& session, const ParameterLoad& load) {
    if (load.Parameters.damaged())
        session.Messages.show(KeepDamagedFile(session.Env.ParameterPath,
                                              QStringLiteral("分析の設定（パラメータファイル）"),
                                              load.Parameters,
                                              QStringLiteral("画面は初期値で始めます。")),
                              MessageIcon::Exclamation);
    if (load.Conditions.damaged())
        session.Messages.show(KeepDamagedFile(session.Env.SavedConditionPath,
                                              QStringLiteral("保存されていた抽出条件"),
                                              load.Conditions,
                                              QStringLiteral("抽出条件なしで始めます。")),
                              MessageIcon::Exclamation);
    if (load.Own.damaged())
        session.Messages.show(
            KeepDamagedFile(session.Env.OwnSettingsPath,
                            QStringLiteral("前回との比較と宛名リストの設定"), load.Own,
                            QStringLiteral("前回と比較し、宛名リストは出力しない設定で始めます。")),
            MessageIcon::Exclamation);
}

QString UnusableSettings(const Session& session, const ParameterLoad& load) {
    const QString parameters = ToNativePath(session.Env.ParameterPath);
    switch (load.Parameters.Outcome) {
    case StoredFileRead::State::Missing:
        return QStringLiteral("パラメータファイル %1 がありません（画面で一度設定を保存してくだ"
                              "さい）")
            .arg(parameters);
    case StoredFileRead::State::Empty:
        return QStringLiteral("パラメータファイル %1 が空です").arg(parameters);
    case StoredFileRead::State::Damaged:
        return QStringLiteral("パラメータファイル %1 を使えません: %2")
            .arg(parameters, load.Parameters.Cause);
    case StoredFileRead::State::Read:
        break;
    }
    if (load.Conditions.damaged())
        return QStringLiteral("保存されている抽出条件 %1 を使えません: %2")
            .arg(ToNativePath(session.Env.SavedConditionPath), load.Conditions.Cause);
    return QString();
}

QString DamagedClassificationsText(const Session& session) {
    if (session.ClassificationFaults.isEmpty())
        return QString();
    // The first faults name the damage; a file damaged all over need not fill the screen.
    constexpr qsizetype Shown = 8;
    QStringList lines = session.ClassificationFaults.mid(0, Shown);
    if (session.ClassificationFaults.size() > Shown)
        lines << QStringLiteral("ほか %1 件").arg(session.ClassificationFaults.size() - Shown);
    return QStringLiteral("分類情報ファイル %1 は分類情報として読めません。\r")
               .arg(ToNativePath(session.Env.ClassificationPath)) +
           lines.join(u'\r');
}

QString DamagedMatrixText(const Session& session) {
    const QList<int> cells = DamagedMatrixCells(session.Parameters);
    if (cells.isEmpty())
        return QString();
    QStringList lines;
    for (const int k : cells) {
        // A letter that is no printable character is shown by its code.
        QString shown;
        for (const QChar c : session.Parameters.GroupMatrix[size_t(k - 1)])
            shown += c.isPrint() ? QString(c)
                                 : QStringLiteral("U+%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
        lines << QStringLiteral("セル %1（RFM値 %2）: 「%3」").arg(k).arg(CellCode(k), shown);
    }
    return QStringLiteral(
               "分析の設定（パラメータファイル） %1 が壊れています: グループマトリックスに"
               "グループ A～E・X 以外の値があります。これらのセルは未分類（X）とします。\r")
               .arg(ToNativePath(session.Env.ParameterPath)) +
           lines.join(u'\r');
}

void SaveSessionParameters(Session& session) {
    QString error;
    if (!SaveParameters(session.Env, session.ParameterScreen, session.OutputScreen,
                        session.Parameters, session.SavedConditions, &error))
        session.Messages.show(error, MessageIcon::Critical);
    if (!WriteOwnSettings(session.Env.OwnSettingsPath, session.OutputScreen, &error))
        session.Messages.show(
            QStringLiteral("前回との比較と宛名リストの設定を %1 に保存できませんで"
                           "した。\r%2")
                .arg(ToNativePath(session.Env.OwnSettingsPath), error),
            MessageIcon::Critical);
}

} // namespace plw
