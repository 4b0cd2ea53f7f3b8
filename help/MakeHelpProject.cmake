# Writes the Qt help project OUTPUT from the pages in PAGES and the tree in CONTENTS.
#
# CONTENTS names one page a line, indented by two blanks per level of the contents tree. A page
# gives its title (<title>) to its entry and to the keyword index, under its file name without
# extension as help id; each heading of the form <h2 id="Topic">Text</h2> (h2 or h3) becomes an
# entry below the page and a keyword with the help id Topic.

function(xml_attr text out)
  string(REPLACE "@SEMICOLON@" ";" text "${text}")
  string(REPLACE "\"" "&quot;" text "${text}")
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

file(STRINGS ${CONTENTS} lines)
set(toc "")
set(keywords "")
set(files "")
set(open 0)
foreach(line IN LISTS lines)
  if(line MATCHES "^[ ]*$" OR line MATCHES "^#")
    continue()
  endif()
  string(STRIP "${line}" page)
  string(LENGTH "${line}" full)
  string(LENGTH "${page}" bare)
  math(EXPR level "(${full} - ${bare}) / 2")
  if(NOT EXISTS ${PAGES}/${page})
    message(FATAL_ERROR "contents.txt names ${page}, which is not in ${PAGES}")
  endif()
  # Close the entries that this one is not below.
  while(open GREATER level)
    string(APPEND toc "</section>\n")
    math(EXPR open "${open} - 1")
  endwhile()
  file(READ ${PAGES}/${page} html)
  # Entities end in ";", which would split the headings found into list items.
  string(REPLACE ";" "@SEMICOLON@" html "${html}")
  if(NOT html MATCHES "<title>([^<]+)</title>")
    message(FATAL_ERROR "${page} has no title")
  endif()
  xml_attr("${CMAKE_MATCH_1}" title)
  get_filename_component(id ${page} NAME_WE)
  string(APPEND toc "<section title=\"${title}\" ref=\"${page}\">\n")
  string(APPEND keywords "<keyword name=\"${title}\" id=\"${id}\" ref=\"${page}\"/>\n")
  string(REGEX MATCHALL "<h[23] id=\"[^\"]+\">[^<]+</h[23]>" headings "${html}")
  foreach(heading IN LISTS headings)
    string(REGEX MATCH "<h[23] id=\"([^\"]+)\">([^<]+)</h[23]>" _ "${heading}")
    set(topic ${CMAKE_MATCH_1})
    xml_attr("${CMAKE_MATCH_2}" text)
    string(APPEND toc "<section title=\"${text}\" ref=\"${page}#${topic}\"/>\n")
    string(APPEND keywords "<keyword name=\"${text}\" id=\"${topic}\" ref=\"${page}#${topic}\"/>\n")
  endforeach()
  math(EXPR open "${level} + 1")
endforeach()
while(open GREATER 0)
  string(APPEND toc "</section>\n")
  math(EXPR open "${open} - 1")
endwhile()

file(GLOB all_pages RELATIVE ${PAGES} ${PAGES}/*)
foreach(page IN LISTS all_pages)
  string(APPEND files "<file>${page}</file>\n")
endforeach()

file(WRITE ${OUTPUT} "<?xml version=\"1.0\" encoding=\"UTF-8\"?>
<QtHelpProject version=\"1.0\">
<namespace>org.fennoware.quorvans</namespace>
<virtualFolder>doc</virtualFolder>
<filterSection>
<toc>
${toc}</toc>
<keywords>
${keywords}</keywords>
<files>
${files}</files>
</filterSection>
</QtHelpProject>
")
