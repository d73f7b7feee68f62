// Browsing for the destination's parent folder (command 3).
#pragma once

void BrowseDestination(void);
