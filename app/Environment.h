#pragma once

#include <QString>

namespace plw {

// The installation as start-up found it: written only while starting, read everywhere else.
// Paths are composed as the system composes them (folder value + fixed piece; the fixed pieces
// are written with "/" here, a folder value from a suite file may hold "\"); ToNativePath turns
// them into file-system paths where a file is opened.
struct Environment {
    // Where the program was started from, and the location file named on the command line
    // (empty: search the three candidates).
    QString ProgramFolder;
    QString LocationFileOverride;

    // The folder of the system description file (from the location file).
    QString DescriptionFolder;

    // From the system description record.
    int DebugMode = 0;
    int StartMode = 0;
    QString PrinterDestination;
    QString WorkFolder;
    QString SystemFolder;
    QString ScreenSide;

    // The paths of the installation's folder table.
    QString TransactionDatabasePath; // WorkFolder + "PLW_TRN.MDB"
    QString MasterDatabasePath;      // SystemFolder + "DATA/PLW_MST.MDB"
    QString ClassificationPath;      // SystemFolder + "DATA/S3BUNRU.DAT"
    QString DeviceDescriptionPath;   // SystemFolder + "INI/KIKISYU.SYS"
    QString MenuMarkerPath;          // WorkFolder + "MENU.DAT"
    QString ReturnTablePath;         // WorkFolder + "MODORI.DAT"
    QString ParameterPath;           // WorkFolder + "PLWAN40.PRM"
    QString SavedConditionPath;      // WorkFolder + "PLWAN40.JKN"
    QString KeyFilePath;             // WorkFolder + "PLWAN40.KEY"
    QString ConditionScreenPath;     // WorkFolder + "CtyuGet.PRM"
    QString OwnSettingsPath;         // WorkFolder + "PLWAN40.OPT": the program's own settings
    // DescriptionFolder + "PLWAN40PG.INI": the databases on a PostgreSQL server when it exists;
    // empty when the description's folder is not known.
    QString ServerConnectionPath;

    // Fills the path fields from WorkFolder and SystemFolder.
    void BuildPaths();
};

} // namespace plw
