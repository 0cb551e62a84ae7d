// Everything a form class of the program needs.
#pragma once

#include "forms/app.h"
#include "forms/check_box.h"
#include "forms/command_button.h"
#include "forms/form.h"
#include "forms/icon.h"
#include "forms/image.h"
#include "forms/label.h"
#include "forms/metrics.h"
#include "forms/msgbox.h"
#include "forms/picture_box.h"
#include "forms/screen.h"
#include "forms/scroll_bar.h"
#include "forms/text_box.h"
#include "forms/timer.h"
#include "forms/tool_tip.h"
