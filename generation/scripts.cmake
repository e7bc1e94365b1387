# Smart Key and Smart Flow composers.
target_sources(tarvex_generation PRIVATE
    commissionentry.cpp commissionentry.h
    smartkeylines.cpp smartkeylines.h
    smartkeyscript.cpp smartkeyscript.h
    smartflowtext.cpp smartflowtext.h
    smartflowscript.cpp smartflowscript.h
    showntext.cpp showntext.h
    scriptcheck.cpp scriptcheck.h
    findingtext.cpp findingtext.h
    checkedwalk.cpp checkedwalk.h
    inforce.cpp inforce.h
)
