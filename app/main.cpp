#include "OTDRApp.h"

int main(int argc, char* argv[])
{
    COTDRApp app(argc, argv);
    if (!app.initInstance())
        return 1;
    return COTDRApp::exec();
}
