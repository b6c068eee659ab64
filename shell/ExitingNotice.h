// "Exiting the Application": shown for a second once the main view is gone.
#pragma once

void ShowExitingNotice();
