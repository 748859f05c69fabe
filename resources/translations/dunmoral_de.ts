<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>AddCamDialog</name>
    <message>
        <source>create a unique name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 :: Add a Cam</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>AtomicFile</name>
    <message>
        <source>Could not write %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Could not open %1: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 is not a file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Could not read %1: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 is too large</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Could not write in %1: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Could not write %1: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Could not replace %1: %2</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>AviWriter</name>
    <message>
        <source>a picture of %1 bytes is too large</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the film would be longer than an AVI file can index</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>there is no picture to write</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CamDialog</name>
    <message>
        <source>Name:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>URL:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>enter the exact path to the image (found by right clicking an image in your browser and selecting &quot;properties&quot;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Refresh:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Enter the time in seconds</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>seconds</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>OK</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Test</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Fetch the picture once from this address and say what came</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Type the address of the cam&apos;s picture first.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The URL must not contain line breaks, tabs or other control characters.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Testing...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>User:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The user name the cam asks for, if it asks for one</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Password:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Kept in the desktop&apos;s keyring, never in the cam list</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Show</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The URL holds a user name and password. Keep them in the desktop&apos;s keyring instead, and save the URL without them?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The URL</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The refresh interval</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>:: error</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>you must enter all information</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 must not contain line breaks, tabs or other control characters, nor &quot;[name]&quot;.</source>
        <extracomment>%1 is &quot;The name&quot;, &quot;The URL&quot; or &quot;The refresh interval&quot;</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The cam list could not be saved: %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CamListExchange</name>
    <message>
        <source>%1 does not exist.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 is not a cam list.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the cam list would grow past %1 MB with the cams of %2.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CamListModel</name>
    <message>
        <source>the cam list could not be read, so it was not changed: %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CamListPane</name>
    <message>
        <source>Add</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Add a Cam</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Del</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Remove Selected Cam</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Edit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Edit Selected Cam</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Webcam Listing</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Could not read the cam list: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The record of %1 could not be found in the cam list file.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The record of %1 could not be found in the cam list file, so nothing was deleted.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Confirm Delete</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Are you sure you want to delete %1?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The cam list could not be saved: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>:: error</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>DibSection</name>
    <message>
        <source>Overflow</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Subscript out of range</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>I don&apos;t know how to put a DIB on the clipboard! Copy as bitmap instead!!!</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>EditCamDialog</name>
    <message>
        <source>Create a unique name for the cam</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>(Cams that are already open take the changes at their next refresh)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>This cam %1.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Use %1 s</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ExportCamsDialog</name>
    <message>
        <source>Export Cam List</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Export...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Tick None</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The ticked cams go into the file:</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>JpegWriter</name>
    <message>
        <source>Failed to initialise the IJL library: -1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Path/File access error</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Failed to save to JPG %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ListExchange</name>
    <message>
        <source>Cam lists (*.txt);;All files (*)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>1 cam was added.</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>%n cams were added.</source>
        <translation type="unfinished">
            <numerusform></numerusform>
            <numerusform></numerusform>
        </translation>
    </message>
    <message>
        <source>1 cam was already in the list.</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>%n cams were already in the list.</source>
        <translation type="unfinished">
            <numerusform></numerusform>
            <numerusform></numerusform>
        </translation>
    </message>
    <message>
        <source>1 cam was left out because the record is incomplete or holds something a cam cannot have.</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>%n cams were left out because the record is incomplete or holds something a cam cannot have.</source>
        <translation type="unfinished">
            <numerusform></numerusform>
            <numerusform></numerusform>
        </translation>
    </message>
    <message>
        <source>Import Cam List</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Nothing was changed: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>1 cam has a user name and password in the URL. Keep them in the desktop&apos;s keyring instead, and take them out of the URLs?</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>%n cams have a user name and password in the URL. Keep them in the desktop&apos;s keyring instead, and take them out of the URLs?</source>
        <translation type="unfinished">
            <numerusform></numerusform>
            <numerusform></numerusform>
        </translation>
    </message>
    <message>
        <source>Export Cam List</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The cam list was not exported: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>1 cam was written to %1.</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>%n cams were written to %1.</source>
        <translation type="unfinished">
            <numerusform></numerusform>
            <numerusform></numerusform>
        </translation>
    </message>
</context>
<context>
    <name>PictureCheck</name>
    <message>
        <source>a damaged JPEG</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>a JPEG of too many scans</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>a JPEG without its end</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>a GIF without its end</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>a damaged GIF</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>a damaged PNG</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>a PNG without its end</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>a BMP without its end</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>a WebP without its end</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>a picture shorter than announced</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>PictureSave</name>
    <message>
        <source>the picture could not be read</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TimelapseDialog</name>
    <message>
        <source>Export Time-lapse</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>All saved pictures</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> frames a second</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cam:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>From:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>To:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Speed:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Export...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>There is no cam in the list.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Looking for the saved pictures...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>1 saved picture</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>%n saved pictures</source>
        <translation type="unfinished">
            <numerusform></numerusform>
            <numerusform></numerusform>
        </translation>
    </message>
    <message>
        <source>AVI films (*.avi)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Making the time-lapse film...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Writing the end of the film...</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TimelapseExport</name>
    <message>
        <source>The frame rate must be from 1 to 120 frames a second.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>There are no saved pictures of %1 in that time range in %2.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>There are no saved pictures of %1 in %2.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 is not a regular file: the film is not written there.</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>None of the %n pictures of %1 could be read.</source>
        <translation type="unfinished">
            <numerusform></numerusform>
            <numerusform></numerusform>
        </translation>
    </message>
    <message>
        <source>The export was cancelled.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>1 picture</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>%n pictures</source>
        <translation type="unfinished">
            <numerusform></numerusform>
            <numerusform></numerusform>
        </translation>
    </message>
    <message>
        <source>1 frame</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>%n frames</source>
        <translation type="unfinished">
            <numerusform></numerusform>
            <numerusform></numerusform>
        </translation>
    </message>
    <message>
        <source>The time-lapse film %1 holds %2 of %3x%4 at %5 a second.</source>
        <extracomment>%2 is &quot;1 picture&quot; or &quot;%n pictures&quot;, %3 and %4 the width and height, %5 &quot;1 frame&quot; or &quot;%n frames&quot;</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>1 of another size was scaled to fit.</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>%n of another size were scaled to fit.</source>
        <translation type="unfinished">
            <numerusform></numerusform>
            <numerusform></numerusform>
        </translation>
    </message>
    <message>
        <source>1 damaged picture was left out.</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>%n damaged pictures were left out.</source>
        <translation type="unfinished">
            <numerusform></numerusform>
            <numerusform></numerusform>
        </translation>
    </message>
</context>
</TS>
