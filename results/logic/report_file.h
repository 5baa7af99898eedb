// The indicator report as a text file: Windows-1251 with CR LF line ends,
// saved so that a failure leaves the old file as it was.
#pragma once

#include <string>

#include "kernel/queuing_system.h"
#include "persistence/safe_save.h"

namespace marvolt {

// The bytes of the file for a report text (UTF-8, single line feeds).
std::string ReportFileBytes(const std::string& report);

// Saves the report of the results model.
SafeSaveResult SaveReportFile(const std::string& path, const CQueuingSystem& results);

// The error box text for a failed save of the file at path; empty for success.
std::string ReportSaveMessage(SafeSaveResult result, const std::string& path);

}  // namespace marvolt
