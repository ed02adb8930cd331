#include "common/test_support.h"

#include <gtest/gtest.h>

namespace tvtest {

ScratchFolder::ScratchFolder() : dir_(std::make_unique<QTemporaryDir>()) {
    if (!dir_->isValid()) ADD_FAILURE() << "cannot create a temporary folder";
}

QString ScratchFolder::path() const { return dir_->path(); }

QString ScratchFolder::file(const QString& name) const { return dir_->path() + "/" + name; }

QString sourceDir() { return QStringLiteral(TOLVARINE_SOURCE_DIR); }
QString binaryDir() { return QStringLiteral(TOLVARINE_BINARY_DIR); }

}  // namespace tvtest
