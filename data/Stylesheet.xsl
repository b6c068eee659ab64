<?xml version="1.0" encoding="UTF-8"?>
<!--
  Turns a Velmora LDAP Browser template into an HTML form, for any browser.
  The program draws the same form itself and posts the same text: each
  field's name=value in template order, then submit=ok, submit=modify or
  submit=cancel for the button pressed.

  Element names are matched in any case, as the program reads them.
  Input: TextBox (also any kind not listed), Password, TextArea.
  DisplayName labels the field (the Name when empty); DefaultValue fills it;
  Size is the width in characters (a text area's columns); MaxLength limits
  what may be typed (not for a text area); Color colours the field's text.
-->
<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform">
  <xsl:output method="html" encoding="UTF-8" indent="yes"/>

  <xsl:variable name="lower" select="'abcdefghijklmnopqrstuvwxyz'"/>
  <xsl:variable name="upper" select="'ABCDEFGHIJKLMNOPQRSTUVWXYZ'"/>

  <!-- The text of the field's child element named (upper case) $name. -->
  <xsl:template name="part">
    <xsl:param name="field"/>
    <xsl:param name="name"/>
    <xsl:value-of select="$field/*[translate(local-name(), $lower, $upper) = $name][1]"/>
  </xsl:template>

  <xsl:template match="/">
    <html>
      <head>
        <title>Velmora LDAP Browser template</title>
      </head>
      <body>
        <form method="post" action="about:blank" accept-charset="UTF-8"
              enctype="application/x-www-form-urlencoded">
          <table>
            <xsl:for-each select="//*[translate(local-name(), $lower, $upper) = 'FIELD']">
              <xsl:variable name="name">
                <xsl:call-template name="part"><xsl:with-param name="field" select="."/><xsl:with-param name="name" select="'NAME'"/></xsl:call-template>
              </xsl:variable>
              <xsl:variable name="label">
                <xsl:call-template name="part"><xsl:with-param name="field" select="."/><xsl:with-param name="name" select="'DISPLAYNAME'"/></xsl:call-template>
              </xsl:variable>
              <xsl:variable name="input">
                <xsl:call-template name="part"><xsl:with-param name="field" select="."/><xsl:with-param name="name" select="'INPUT'"/></xsl:call-template>
              </xsl:variable>
              <xsl:variable name="default">
                <xsl:call-template name="part"><xsl:with-param name="field" select="."/><xsl:with-param name="name" select="'DEFAULTVALUE'"/></xsl:call-template>
              </xsl:variable>
              <xsl:variable name="size">
                <xsl:call-template name="part"><xsl:with-param name="field" select="."/><xsl:with-param name="name" select="'SIZE'"/></xsl:call-template>
              </xsl:variable>
              <xsl:variable name="maxlength">
                <xsl:call-template name="part"><xsl:with-param name="field" select="."/><xsl:with-param name="name" select="'MAXLENGTH'"/></xsl:call-template>
              </xsl:variable>
              <xsl:variable name="color">
                <xsl:call-template name="part"><xsl:with-param name="field" select="."/><xsl:with-param name="name" select="'COLOR'"/></xsl:call-template>
              </xsl:variable>
              <xsl:variable name="kind" select="translate(normalize-space($input), $lower, $upper)"/>
              <tr>
                <td>
                  <label>
                    <xsl:choose>
                      <xsl:when test="normalize-space($label) != ''"><xsl:value-of select="$label"/></xsl:when>
                      <xsl:otherwise><xsl:value-of select="normalize-space($name)"/></xsl:otherwise>
                    </xsl:choose>
                  </label>
                </td>
                <td>
                  <xsl:choose>
                    <xsl:when test="$kind = 'TEXTAREA'">
                      <textarea name="{normalize-space($name)}" rows="4">
                        <xsl:if test="normalize-space($size) != ''"><xsl:attribute name="cols"><xsl:value-of select="normalize-space($size)"/></xsl:attribute></xsl:if>
                        <xsl:if test="normalize-space($color) != ''"><xsl:attribute name="style">color: <xsl:value-of select="normalize-space($color)"/></xsl:attribute></xsl:if>
                        <xsl:value-of select="$default"/>
                      </textarea>
                    </xsl:when>
                    <xsl:otherwise>
                      <input name="{normalize-space($name)}" value="{$default}">
                        <xsl:attribute name="type">
                          <xsl:choose>
                            <xsl:when test="$kind = 'PASSWORD'">password</xsl:when>
                            <xsl:otherwise>text</xsl:otherwise>
                          </xsl:choose>
                        </xsl:attribute>
                        <xsl:if test="normalize-space($size) != ''"><xsl:attribute name="size"><xsl:value-of select="normalize-space($size)"/></xsl:attribute></xsl:if>
                        <xsl:if test="normalize-space($maxlength) != ''"><xsl:attribute name="maxlength"><xsl:value-of select="normalize-space($maxlength)"/></xsl:attribute></xsl:if>
                        <xsl:if test="normalize-space($color) != ''"><xsl:attribute name="style">color: <xsl:value-of select="normalize-space($color)"/></xsl:attribute></xsl:if>
                      </input>
                    </xsl:otherwise>
                  </xsl:choose>
                </td>
              </tr>
            </xsl:for-each>
          </table>
          <p>
            <button type="submit" name="submit" value="ok">Create</button>
            <button type="submit" name="submit" value="modify">Modify Template</button>
            <button type="submit" name="submit" value="cancel">Cancel</button>
          </p>
        </form>
      </body>
    </html>
  </xsl:template>
</xsl:stylesheet>
