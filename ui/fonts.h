// The windows were laid out for an 8-point "MS Sans Serif"; where that font is missing,
// Arial or its metric twin Liberation Sans keep the captions inside their twip boxes,
// and the toolkit's own font is the last resort.
#pragma once

#include <QFont>

namespace relperm::ui {

QFont layoutFont(double points, bool bold);

} // namespace relperm::ui
