// Everything the library exports.
#pragma once

#include "OvrixApi.h"

#include "CArea.h"
#include "CIDropTarget.h"
#include "ImgResInfo.h"
#include "MButton.h"
#include "MControl.h"
#include "MControlFont.h"
#include "MDialog.h"
#include "MObject.h"
#include "MPicture.h"
#include "MRender.h"
#include "MText.h"
#include "MWindow.h"
#include "Manager.h"
#include "PaintManager.h"
#include "ZorvTimer.h"
