#include "state.h"

static ViewerState viewerState;

ViewerState *GetState(void)
{
    return &viewerState;
}
