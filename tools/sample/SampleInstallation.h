#pragma once

#include <QString>

namespace plw::sample {

struct SampleOptions {
    QString folder;
    int customers = 200;
    quint32 seed = 1;
};

// Writes a complete installation into options.folder; false with a reason on failure.
bool WriteSampleInstallation(const SampleOptions& options, QString* error);

} // namespace plw::sample
