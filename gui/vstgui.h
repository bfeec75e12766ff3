// Everything an editor needs from the toolkit in one include.
#pragma once

#include "gui/base.h"
#include "gui/controls.h"
#include "gui/drawcontext.h"
#include "gui/fileselector.h"
#include "gui/frame.h"
#include "gui/optionmenu.h"
#include "gui/view.h"
