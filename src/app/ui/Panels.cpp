#include "app/ui/Panels.h"

namespace tamrel {

Panels::Panels(QWidget& window, ExperimentState& state, Dialogs& dialogs, const WindowOptions& options)
    : context { window, state, dialogs, options, *this }
    , run(context)
    , plots(context)
    , replay(context)
    , spaceTime(context)
    , presets(context)
    , editors(context)
    , selection(context)
    , parameters(context)
    , setupFile(context)
{
}

} // namespace tamrel
