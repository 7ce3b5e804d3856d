#include "tools/sample/SampleInstallation.h"

namespace plw::sample {

bool WriteSampleInstallation(const SampleOptions&, QString* error) {
    if (error)
        *error = QStringLiteral("not built yet");
    return false;
}

} // namespace plw::sample
