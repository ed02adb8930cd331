// DbError itself: an exception carrying a Jet error number and its readable text.
#include "engine/engine.h"

namespace tv::engine {

DbError::DbError(int number, const QString& text)
    : std::runtime_error(text.toStdString()), number_(number) {}

}  // namespace tv::engine
