#include "app/Environment.h"

namespace plw {

void Environment::BuildPaths() {
    TransactionDatabasePath = WorkFolder + QStringLiteral("PLW_TRN.MDB");
    MasterDatabasePath = SystemFolder + QStringLiteral("DATA/PLW_MST.MDB");
    ClassificationPath = SystemFolder + QStringLiteral("DATA/S3BUNRU.DAT");
    DeviceDescriptionPath = SystemFolder + QStringLiteral("INI/KIKISYU.SYS");
    MenuMarkerPath = WorkFolder + QStringLiteral("MENU.DAT");
    ReturnTablePath = WorkFolder + QStringLiteral("MODORI.DAT");
    ParameterPath = WorkFolder + QStringLiteral("PLWAN40.PRM");
    SavedConditionPath = WorkFolder + QStringLiteral("PLWAN40.JKN");
    KeyFilePath = WorkFolder + QStringLiteral("PLWAN40.KEY");
    ConditionScreenPath = WorkFolder + QStringLiteral("CtyuGet.PRM");
    OwnSettingsPath = WorkFolder + QStringLiteral("PLWAN40.OPT");
    ServerConnectionPath = DescriptionFolder.isEmpty()
                               ? QString()
                               : DescriptionFolder + QStringLiteral("PLWAN40PG.INI");
}

} // namespace plw
