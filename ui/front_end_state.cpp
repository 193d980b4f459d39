// The front end's state, defined once.
#include "ui/front_end_state.h"

OnlineView onlineView;
FrontEnd frontEnd;
