#pragma once

#include "settings/AnalysisParameters.h"
#include "tools/sample/InstallationFiles.h"

namespace plw::sample {

// The sample shop's saved analysis: the sample thresholds and matrix, the two years up to the
// reference date as the last-visit period, every sheet chosen and the workbook in the sample's
// root folder.
AnalysisParameters SampleAnalysisParameters(const SampleFolders& folders);

// Writes PLWAN40.PRM, PLWAN40.JKN and a few templates of each kind into the work folder.
bool WriteSampleSettings(const SampleFolders& folders, QString* error);

} // namespace plw::sample
