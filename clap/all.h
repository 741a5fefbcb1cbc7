// Every part of the CLAP binary interface this project speaks.
#pragma once

#include "audio_ports.h"
#include "base.h"
#include "events.h"
#include "factory.h"
#include "gui.h"
#include "host.h"
#include "latency.h"
#include "log.h"
#include "params.h"
#include "plugin.h"
#include "posix_fd_support.h"
#include "process.h"
#include "state.h"
#include "stream.h"
#include "thread_check.h"
#include "timer_support.h"
