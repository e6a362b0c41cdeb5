#include "sources/computer/computer_src_page.h"
