# cmake -DCMARK=cmark-gfm -DIN=guide.md -DOUT=guide.html -DTITLE=... -P render_guide.cmake
# Renders the Markdown user guide (with its tables) into one HTML page.
execute_process(COMMAND ${CMARK} --extension table --extension autolink
                INPUT_FILE ${IN} OUTPUT_VARIABLE body RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "cmark-gfm failed on ${IN}")
endif()
file(WRITE ${OUT} "<!DOCTYPE html>
<html lang=\"en\">
<head>
<meta charset=\"utf-8\">
<title>${TITLE}</title>
<style>
body { font-family: Segoe UI, Arial, sans-serif; max-width: 52em; margin: 1em auto; padding: 0 1em; line-height: 1.45; }
code, pre { font-family: Consolas, monospace; background: #f3f3f3; }
pre { padding: 0.6em; overflow-x: auto; }
table { border-collapse: collapse; }
th, td { border: 1px solid #bbb; padding: 0.25em 0.6em; text-align: left; vertical-align: top; }
img { max-width: 100%; }
</style>
</head>
<body>
${body}</body>
</html>
")
