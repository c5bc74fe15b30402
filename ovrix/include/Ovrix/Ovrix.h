// Everything the library exports.
#pragma once

#include "OvrixApi.h"

#include "CArea.h"
#include "CIDropTarget.h"
#include "ImgResInfo.h"
#include "MControl.h"
#include "MObject.h"
#include "MRender.h"
#include "MWindow.h"
#include "Manager.h"
#include "PaintManager.h"
#include "ZorvTimer.h"
