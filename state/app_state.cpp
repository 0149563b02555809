#include "state/app_state.h"

AppState& App() {
    // Constructed on first use, so any singleton built before the entry point may use it.
    static AppState state;
    return state;
}
