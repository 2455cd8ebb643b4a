// Firmware image files for tests, made by the simulator's own tool.
#pragma once

#include <QString>
#include <QStringList>

namespace qel::test {

// Runs `qel-sim make-image <options> <path>` (the tool beside the test programs); a tool
// that fails fails the test. Returns `path`.
QString MakeFirmwareImage(const QString& path, const QStringList& options);

}  // namespace qel::test
