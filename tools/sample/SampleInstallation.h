#pragma once

#include "tools/sample/SampleDatabases.h"

#include <QString>

namespace plw::sample {

struct SampleOptions {
    QString folder;      // the installation's root; created when missing
    int customers = 200; // enough for every rank of the matrix, small enough to write at once
    quint32 seed = 1;
    int historyRowsPerCustomer = 10; // the mean; each customer has its own count
    QString screenSide;              // ScreenSide of the system description: "MIGI", "HIDA" or ""
    SampleProgress progress;         // optional
    // A libpq connection: the databases go into its server instead of SQLite files, and the
    // connection file PLWAN40PG.INI beside the system description points the program there.
    QString postgres;
};

// What was written, and where.
struct SampleSummary {
    QString locationFile; // root + "場所PLW.TWS"
    QString systemFolder; // root + "PLW/"
    QString workFolder;   // root + "PLW/WORK/"
    SampleDatabaseCounts counts;
};

// The location file of a sample installation under folder.
QString SampleLocationFile(const QString& folder);

// Writes a complete installation into options.folder: the system and device descriptions, the
// return table, the classification file, the campaign condition files and both databases, and the
// location file last, so that its presence tells a complete installation. The same options give the
// same data. False with a reason on failure; the databases of a failed run are removed. A folder
// that already holds the databases is refused.
bool WriteSampleInstallation(const SampleOptions& options, QString* error,
                             SampleSummary* summary = nullptr);

} // namespace plw::sample
