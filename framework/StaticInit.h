// Construction order of the process-wide objects made during static
// initialisation. GCC runs lower priorities first and destroys in reverse,
// whatever the link order of the translation units.
#pragma once

#define INIT_ORDER_APP __attribute__((init_priority(1001)))
#define INIT_ORDER_OLE_HOST __attribute__((init_priority(1002)))
#define INIT_ORDER_DOWNLOAD_MANAGER __attribute__((init_priority(1003)))
#define INIT_ORDER_TIME_STAMPS __attribute__((init_priority(1004)))
