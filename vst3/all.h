// Every interface of the VST 3 binary interface this project speaks.
#pragma once

#include "base.h"
#include "component.h"
#include "controller.h"
#include "factory.h"
#include "messages.h"
#include "processor.h"
#include "stream.h"
#include "view.h"
