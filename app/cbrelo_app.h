// The application object: runs the sales overview modally, then ends the program.
#pragma once

class CBreloApp {
public:
    // The start-up operation; returns false so that the program ends after the main window.
    bool InitInstance();
};
