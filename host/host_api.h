// The host link as a whole: the host's objects, how they are reached, the
// composite operations on them and the listing script run.
#pragma once

#include "host/host_link.h"
#include "host/host_objects.h"
#include "host/host_operations.h"
#include "host/listing_run.h"
