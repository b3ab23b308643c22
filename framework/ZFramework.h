/* Zarninst's framework layer: everything a dialog program includes. */
#ifndef ZARN_FRAMEWORK_H
#define ZARN_FRAMEWORK_H
#include "ZString.h"
#include "ZWnd.h"
#include "ZDialog.h"
#include "ZCtrl.h"
#include "ZApp.h"
#endif
